// FitHunter over many data files: one session per file, a few worker
// threads, the rows handed back in the order of the files.
#include "session/hunt_batch.h"

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>
#include <utility>

#include "app/error_handle.h"
#include "data/document_hooks.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "session/nonlinear_routine.h"
#include "platform/headless_ui.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "session/data_file_flows.h"
#include "session/drivers.h"
#include "session/session.h"
#include "session/user_model_dialog.h"
#include "usermodel/user_model.h"

namespace trendolin {

std::optional<SearchRequest> SearchRequestFor(const CurveFit& doc, std::optional<int> maxDegree,
                                              std::optional<int> groups) {
  if (!maxDegree && !groups) return SearchRequest{};
  const GroupsDialogSetup setup = GroupsDialogOpening(doc, false);
  int mask = groups.value_or(setup.checkedMask) & kSearchGroupsMask;
  if (!setup.polynomialEnabled) mask &= ~CLASS_POLYNOMIAL;  // its box cannot be checked
  const std::string degree = std::to_string(maxDegree.value_or(kDefaultSearchDegree));
  const SearchDialogCheck check =
      CheckFitHunterDialog(mask, degree, doc.nPoints, CurrentSession().settings.maxPolyDegree);
  if (check.verdict != SearchDialogVerdict::Accepted) {
    const MessagePair pair = check.warning.value_or(kSearchDegreeRefused);
    platform::ResourceMessageBox(pair.caption, pair.text, platform::Icon::Exclamation, platform::Buttons::Ok);
    return std::nullopt;
  }
  return check.request;
}

namespace {

// Where the batch's fits keep their iteration histories. Every nonlinear fit
// replaces "history.dmp" in its session's history folder, and a history of
// whichever file happened to finish last is worth nothing to anybody: the
// batch gives each worker a folder of its own inside one private temporary
// folder, and removes it all at the end. The history a single search left
// beside the settings file stays as it was. Only when no temporary folder
// can be made do the histories go to `fallback`, replaced in one step each
// (so never torn, just pointless).
class HistoryScratch {
 public:
  explicit HistoryScratch(std::string fallback) : fallback_(std::move(fallback)) {
    std::error_code ec;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec) return;
    std::string tmpl = (temp / "trendolin-hunt-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) != nullptr) root_ = tmpl;
  }
  ~HistoryScratch() {
    if (root_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  HistoryScratch(const HistoryScratch&) = delete;
  HistoryScratch& operator=(const HistoryScratch&) = delete;

  std::string FolderOf(int worker) const {
    return root_.empty() ? fallback_ : root_ + "/" + std::to_string(worker);
  }

 private:
  std::string fallback_;
  std::string root_;
};

// A message as one line: the paragraphs of a message box joined by blanks.
std::string OneLine(const std::string& caption, const std::string& text) {
  std::string line = caption.empty() ? std::string() : caption + ": ";
  bool blank = false;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      blank = true;
      continue;
    }
    if (blank && !line.empty() && line.back() != ' ') line += ' ';
    blank = false;
    line += c;
  }
  return line;
}

// The last thing the session told the person: why a file has no best model.
std::string LastMessage(const platform::HeadlessUi& ui) {
  const std::vector<platform::UiEvent>& events = ui.Events();
  for (auto e = events.rbegin(); e != events.rend(); ++e) {
    if (e->kind == platform::UiEvent::Kind::MessageBox) return OneLine(e->caption, e->text);
    if (e->kind == platform::UiEvent::Kind::ErrorReport) return OneLine("Error", e->text);
  }
  return {};
}

// One file, start to end, the way the command-line tool searches a file
// alone: the run's settings and user formula, the file opened as the windows
// open it, Reexamine, the request the dialog's rules accept, the search.
void SearchFile(HuntRow& row, const HuntBatchOptions& options, const std::string& historyFolder) {
  std::ostringstream messages;
  platform::HeadlessUi ui(platform::HeadlessUi::Mode::Unattended, &messages);
  Session session(&ui);
  const SessionScope bound(session);
  // What a process of its own would start with: this thread may have
  // searched another file before.
  ClearErrorInfo();
  SuppressedReport.clear();
  ClearFpFaults();

  session.settings = options.settings;
  SetHistoryFolder(historyFolder);
  InitUserModel();
  if (options.userFormula && UserModelDialogOk(*options.userFormula)) {
    row.error = "the user formula was refused";
    return;
  }

  CurveFit& doc = session.data;
  InstallFitDriverHooks(doc);

  bool suppressImportDialog = true;
  std::string refusal;
  if (options.importDialog) {
    // The import dialog is how a person picks columns: it is shown whatever
    // the stored setting says, and answered with the options given.
    session.settings.SetFlag(kFlagShowFileImportDlg, true);
    session.autoOpenFlag = 0;
    suppressImportDialog = false;
    ui.SetImportDialogHandler([&](ImportOptions& import) {
      if (options.importDialog(import, &refusal)) return true;
      messages << refusal << '\n';
      return false;
    });
  }
  const int loaded = OpenDataFile(doc, row.file, false, false, suppressImportDialog);
  ui.SetImportDialogHandler(nullptr);
  if (loaded == 1) {
    Reexamine(doc, 0);
    if (const std::optional<SearchRequest> request = SearchRequestFor(doc, options.maxDegree, options.groups)) {
      const FitHunterOutcome outcome = RunFitHunter(doc, *request);
      if (outcome.best >= 0) {
        row.best = outcome.best;
        row.name = RankingName(outcome.best);
        for (const RankingEntry& entry : RankFittedModels(doc)) {
          if (entry.modelId != outcome.best) continue;
          const ModelDesc desc = DescriptorOf(doc, entry.modelId);
          row.score = entry.score;
          row.standardError = desc.statistics[0];
          row.correlation = desc.statistics[1];
        }
      }
    }
  }
  row.messages = messages.str();
  if (row.best >= 0) return;
  row.error = !refusal.empty() ? refusal : LastMessage(ui);
  if (row.error.empty()) row.error = loaded == 1 ? "no model could be fitted" : "the data file could not be read";
}

}  // namespace

std::vector<HuntRow> RunHuntBatch(const std::vector<std::string>& files, const HuntBatchOptions& options,
                                  int jobs) {
  std::vector<HuntRow> rows(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) rows[i].file = files[i];
  if (files.empty()) return rows;
  const int workerCount = std::clamp(jobs, 1, static_cast<int>(std::min<std::size_t>(files.size(), 1024)));
  const HistoryScratch histories(options.historyFolder);

  std::mutex mutex;
  std::condition_variable finished;
  std::vector<char> done(files.size(), 0);
  std::atomic<std::size_t> next{0};
  const auto drain = [&](int worker) {
    const std::string folder = histories.FolderOf(worker);
    for (;;) {
      const std::size_t i = next.fetch_add(1);
      if (i >= files.size()) return;
      HuntRow row = rows[i];
      try {
        SearchFile(row, options, folder);
      } catch (const std::exception& e) {
        row.error = std::string("the search ended with an unexpected error: ") + e.what();
      } catch (...) {
        row.error = "the search ended with an unexpected error";
      }
      {
        const std::lock_guard lock(mutex);
        rows[i] = std::move(row);
        done[i] = 1;
      }
      finished.notify_all();
    }
  };

  std::vector<std::thread> workers;
  // Every worker is joined however this ends (a row handler that throws
  // stops the handing out of files first).
  struct JoinAll {
    std::vector<std::thread>& threads;
    std::atomic<std::size_t>& next;
    std::size_t end;
    ~JoinAll() {
      next.store(end);
      for (std::thread& t : threads) t.join();
    }
  } joinAll{workers, next, files.size()};
  for (int w = 0; w < workerCount; ++w) {
    try {
      workers.emplace_back(drain, w);
    } catch (const std::system_error&) {
      break;  // as many as the system gives
    }
  }
  if (workers.empty()) drain(0);  // none at all: this thread searches every file

  for (std::size_t i = 0; i < files.size(); ++i) {
    {
      std::unique_lock lock(mutex);
      finished.wait(lock, [&] { return done[i] != 0; });
    }
    if (options.onRow) options.onRow(i, rows[i]);
  }
  return rows;
}

}  // namespace trendolin
