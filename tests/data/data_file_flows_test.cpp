// Tests of the New, Open, Save, Save As and save-before-closing flows, driven
// through the scripted Ui.
#include "session/data_file_flows.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/mru_list.h"
#include "data/document_hooks.h"
#include "platform/debug_log.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

using platform::Answer;
using platform::FileDialogResult;
using platform::UiEvent;
using Strings = std::vector<std::string>;

const std::string kFiles = TRENDOLIN_TEST_FILES;

std::string Pair(int caption, int text) {
  return std::string(platform::ResourceString(caption)) + " / " + std::string(platform::ResourceString(text));
}

// A box whose text is a format filled with the file and the system's reason.
std::string PairWithReason(int caption, int text, const std::string& reason) {
  return std::string(platform::ResourceString(caption)) + " / " +
         platform::FormatResource(platform::ResourceString(text), {reason});
}

// The headless Ui, also keeping every file dialog request whole.
class RecordingUi : public platform::HeadlessUi {
 public:
  std::optional<FileDialogResult> OpenFileDialog(const platform::FileDialogRequest& request) override {
    requests.push_back(request);
    return HeadlessUi::OpenFileDialog(request);
  }
  std::optional<FileDialogResult> SaveFileDialog(const platform::FileDialogRequest& request) override {
    requests.push_back(request);
    return HeadlessUi::SaveFileDialog(request);
  }
  std::vector<platform::FileDialogRequest> requests;
};

// Everything an Open that fails must leave as it was.
struct Snapshot {
  std::string title, fullPath;
  bool readOnly;
  std::vector<std::vector<float>> values;
  bool operator==(const Snapshot&) const = default;
};

class DataFileFlows : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, false);
    CurrentSession().recentFiles = CreateMruList();
    CurrentSession().currentDataFile = CurrentFileState{};
    CurrentSession().autoOpenFlag = 0;
    DocumentHooks& hooks = Hooks();
    hooks = DocumentHooks{};
    hooks.resetGrid = Recorder("resetGrid");
    hooks.closeAllGraphs = Recorder("closeAllGraphs");
    hooks.emptyResultsList = Recorder("emptyResultsList");
    hooks.refresh = Recorder("refresh");
    hooks.repaintMain = Recorder("repaintMain");
    hooks.rebuildRecentMenu = Recorder("rebuildRecentMenu");
    hooks.setWeighting = [this](int scheme) { weighting_ = scheme; };
    NewDataFile(doc_, false);
    Forget();
  }
  std::function<void()> Recorder(const char* name) {
    return [this, name] { calls_.push_back(name); };
  }
  void Forget() {
    ui_.ClearEvents();
    ui_.requests.clear();
    calls_.clear();
  }
  Strings Messages() const {
    Strings out;
    for (const UiEvent& e : ui_.EventsOf(UiEvent::Kind::MessageBox)) out.push_back(e.caption + " / " + e.text);
    return out;
  }
  Snapshot Take() const {
    Snapshot s{doc_.szFileName, CurrentSession().currentDataFile.fullPath, CurrentSession().currentDataFile.readOnly, {}};
    for (int c = 0; c < doc_.nColumns; ++c) s.values.emplace_back(doc_.Column(c), doc_.Column(c) + doc_.nPoints);
    return s;
  }
  int Open(const std::string& name) { return OpenStartupFile(doc_, name.front() == '/' ? name : kFiles + "/" + name); }
  int Drop(const std::string& name) { return OpenDroppedFiles(doc_, {name.front() == '/' ? name : kFiles + "/" + name}); }

  RecordingUi ui_;
  platform::ScopedUi scoped_{ui_};
  CurveFit doc_;
  Strings calls_;
  int weighting_ = 0;
  testsupport::TempDir dir_;
};

TEST_F(DataFileFlows, OpenReadsAFileAndMakesItCurrent) {
  const std::string path = kFiles + "/heading_mixed.dat";
  ASSERT_EQ(Open("heading_mixed.dat"), 1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Take(), (Snapshot{"heading_mixed.dat", path, false, {{1, 2, 3, 4, 5}, {2.5f, 3.5f, 4.5f, 5.5f, 6.5f}}}));
  EXPECT_EQ(doc_.bModified, 0);
  EXPECT_EQ(doc_.bStatsStale, 1);
  EXPECT_EQ(ui_.Caption(), "Trendolin 1.4 - [heading_mixed.dat]");
  EXPECT_EQ(CurrentSession().recentFiles.names, Strings{path});
  EXPECT_EQ(calls_, (Strings{"resetGrid", "closeAllGraphs", "emptyResultsList", "rebuildRecentMenu", "refresh",
                             "repaintMain"}));

  // An uncertainty column switches the weighting, through the windows or,
  // without them, in the setting.
  EXPECT_EQ(weighting_, 0);
  ASSERT_EQ(Open("three_columns.dat"), 1);
  EXPECT_EQ(doc_.bUncertainty, 1);
  EXPECT_EQ(weighting_, kWeightingUncertainty);
  Hooks().setWeighting = nullptr;
  CurrentSession().settings.weighting = kWeightingNone;
  ASSERT_EQ(Open("three_columns.dat"), 1);
  EXPECT_EQ(CurrentSession().settings.weighting, kWeightingUncertainty);

  CurrentSession().settings.SetFlag(kFlagAutoSort, true);
  ASSERT_EQ(Open("unsorted.dat"), 1);
  EXPECT_EQ(Take().values, (std::vector<std::vector<float>>{{1, 2, 3}, {10, 20, 30}}));
}

// Each bad file gets one box with an icon, naming the file and saying what
// is wrong with it.
TEST_F(DataFileFlows, BadFilesAreReportedAndThePreviousDataSetStays) {
  ASSERT_EQ(Open("unsorted.dat"), 1);
  const Snapshot before = Take();
  const std::string empty = dir_.File("empty.dat");
  testsupport::WriteFile(empty, "");
  const std::pair<std::string, Strings> cases[] = {
      {dir_.File("missing.dat"), {PairWithReason(41, 134, dir_.File("missing.dat") + ": No such file or directory")}},
      {dir_.Path(), {PairWithReason(41, 134, dir_.Path() + ": Is a directory")}},
      {kFiles + "/heading_only.dat",
       {PairWithReason(41, 139, kFiles + "/heading_only.dat: not one of its lines begins with a number")}},
      {kFiles + "/nul_bytes.dat",
       {PairWithReason(41, 139, kFiles + "/nul_bytes.dat: it holds NUL bytes, so it is no text file")}},
      {empty, {PairWithReason(41, 139, empty + ": the file is empty")}},
      {kFiles + "/short_line.dat",
       {std::string(platform::ResourceString(41)) + " / " +
        platform::FormatResource(platform::ResourceString(138), {kFiles + "/short_line.dat", "3"})}},
      {kFiles + "/four_columns.dat", {Pair(41, 108)}},
      {kFiles + "/one_column.dat", {Pair(41, 108)}},
  };
  for (const auto& [path, messages] : cases) {
    Forget();
    EXPECT_EQ(Open(path), 0) << path;
    EXPECT_EQ(Messages(), messages);
    for (const UiEvent& box : ui_.EventsOf(UiEvent::Kind::MessageBox)) {
      EXPECT_EQ(box.icon, platform::Icon::Exclamation) << box.text;
    }
    EXPECT_EQ(Take(), before);
    EXPECT_EQ(calls_, Strings{"repaintMain"});
  }

  // A file that vanishes between the scan and the reading pass (the import
  // dialog comes in between).
  const std::string brief = dir_.File("brief.dat");
  testsupport::WriteFile(brief, "1 2\n3 4\n");
  CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, true);
  ui_.SetImportDialogHandler([&](ImportOptions&) { return std::filesystem::remove(brief); });
  Forget();
  EXPECT_EQ(Drop(brief), 0);
  EXPECT_EQ(Messages(), Strings{PairWithReason(41, 134, brief + ": No such file or directory")});
  EXPECT_EQ(Take(), before);
}

// A named pipe is refused at once, without waiting for a writer, and the
// message says what it is.
TEST_F(DataFileFlows, ANamedPipeIsRefusedAtOnceForWhatItIs) {
  const std::string fifo = dir_.File("pipe.dat");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Open(fifo), 0);
  EXPECT_EQ(Messages(), Strings{PairWithReason(41, 134, fifo + ": a named pipe (FIFO), not a regular file")});
}

// Line ends of CR alone are line ends: such a file reads as its lines, not
// as one line of every number; lines are counted the same with CR LF.
TEST_F(DataFileFlows, CarriageReturnsAloneEndLines) {
  const std::string cr = dir_.File("cr.dat");
  testsupport::WriteFile(cr, "x y\r1 2\r3 4\r5 6");
  ASSERT_EQ(Open(cr), 1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Take().values, (std::vector<std::vector<float>>{{1, 3, 5}, {2, 4, 6}}));

  for (const char* end : {"\r", "\r\n", "\n"}) {
    const std::string file = dir_.File("skipped.dat");
    testsupport::WriteFile(file, std::string("x y") + end + "1 2" + end + "3 inf" + end + "5 6" + end);
    Forget();
    ASSERT_EQ(Open(file), 1);
    EXPECT_EQ(Messages(), Strings{std::string(platform::ResourceString(41)) + " / " +
                                  platform::FormatResource(platform::ResourceString(144), {"1", "3"})});
    EXPECT_EQ(Take().values, (std::vector<std::vector<float>>{{1, 5}, {2, 6}}));
  }
}

// A line with a number beyond the float range costs that line, not the
// file: the rest opens, after a warning that says which line to look at.
TEST_F(DataFileFlows, LinesWithNumbersThatAreNotFiniteAreSkippedWithAWarning) {
  ASSERT_EQ(Open("overflow.dat"), 1);
  EXPECT_EQ(Messages(), Strings{std::string(platform::ResourceString(41)) + " / " +
                                platform::FormatResource(platform::ResourceString(144), {"1", "2"})});
  EXPECT_EQ(Take().values, (std::vector<std::vector<float>>{{1, 5}, {2, 6}}));

  const std::string allBad = dir_.File("all_bad.dat");
  testsupport::WriteFile(allBad, "x y\ninf 1\n2 nan\n");
  Forget();
  EXPECT_EQ(Open(allBad), 0);
  EXPECT_EQ(Messages(), (Strings{std::string(platform::ResourceString(41)) + " / " +
                                     platform::FormatResource(platform::ResourceString(144), {"2", "2"}),
                                 PairWithReason(41, 139, allBad + ": every line with numbers was skipped")}));
}

// Another program keeps appending to the file while it is opened: the
// reading pass takes the bytes the scan took, so the data set holds the
// lines that were there, instead of the open failing as a changed file.
TEST_F(DataFileFlows, AFileThatGrowsWhileItIsOpenedGivesTheLinesItHad) {
  const std::string path = dir_.File("growing.dat");
  std::string text;
  for (int i = 0; i < 100; ++i) text += "1 2\n";
  testsupport::WriteFile(path, text);
  FILE* writer = std::fopen(path.c_str(), "a");
  ASSERT_NE(writer, nullptr);
  ui_.SetPumpHook([writer] {
    for (int i = 0; i < 100; ++i) std::fputs("3 4\n", writer);
    std::fflush(writer);
  });
  EXPECT_EQ(Open(path), 1) << (Messages().empty() ? "" : Messages().front());
  std::fclose(writer);
  EXPECT_EQ(doc_.nPoints, 100);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DataFileFlows, ImportDialogShowsUnlessSuppressedAndChoosesTheShape) {
  auto dialogs = [&] { return ui_.EventsOf(UiEvent::Kind::ImportDialog).size(); };
  CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, true);
  ASSERT_EQ(Drop("heading_mixed.dat"), 1);
  ASSERT_EQ(Open("heading_mixed.dat"), 1);  // the command line suppresses it
  CurrentSession().autoOpenFlag = 1;                         // so does "-auto"
  ASSERT_EQ(Drop("heading_mixed.dat"), 1);
  EXPECT_EQ(dialogs(), 1u);
  CurrentSession().autoOpenFlag = 0;

  ImportOptions shown;
  ui_.SetImportDialogHandler([&](ImportOptions& options) {
    shown = options;
    options.generateX = true;
    options.xIncrement = 0.5f;
    options.showDialogNextTime = false;
    return true;
  });
  ASSERT_EQ(Drop("one_column.dat"), 1);
  EXPECT_EQ(shown.pointsInFile, 3);
  EXPECT_EQ(Take().values, (std::vector<std::vector<float>>{{0, 0.5f, 1}, {5, 3, 1}}));
  EXPECT_FALSE(CurrentSession().settings.IsOn(kFlagShowFileImportDlg));  // the box became the setting

  CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, true);
  // The dialog opens with the uncertainty box ticked exactly when the file
  // has three columns, so OK as it opens reads x, y and the uncertainties;
  // a person may still untick it.
  ui_.SetImportDialogHandler([&](ImportOptions& options) {
    shown = options;
    return true;
  });
  ASSERT_EQ(Drop("three_columns.dat"), 1);
  EXPECT_TRUE(shown.uncertainty);
  EXPECT_EQ(doc_.bUncertainty, 1);
  EXPECT_EQ(doc_.nColumns, 3);
  ASSERT_EQ(Drop("unsorted.dat"), 1);
  EXPECT_FALSE(shown.uncertainty);
  ui_.SetImportDialogHandler([](ImportOptions& options) {
    options.uncertainty = false;
    options.columnsToRead = 2;
    return true;
  });
  ASSERT_EQ(Drop("three_columns.dat"), 1);
  EXPECT_EQ(doc_.bUncertainty, 0);
  EXPECT_EQ(doc_.nColumns, 2);

  const Snapshot before = Take();
  Forget();
  ui_.SetImportDialogHandler([](ImportOptions&) { return false; });
  EXPECT_EQ(Drop("heading_mixed.dat"), 0);
  // A dialog that lets an impossible shape through is not trusted.
  ui_.SetImportDialogHandler([](ImportOptions& options) {
    options.columnsToRead = 2;
    options.generateX = true;
    return true;
  });
  EXPECT_EQ(Drop("heading_mixed.dat"), 0);
  EXPECT_EQ(Messages(), (Strings{Pair(41, 109), Pair(41, 108)}));
  EXPECT_EQ(Take(), before);
}

TEST_F(DataFileFlows, OpenDialogDescribesDataFilesAndSetsReadOnly) {
  ASSERT_EQ(Open("unsorted.dat"), 1);
  Forget();
  CurrentSession().settings.dataExt = "TXT";
  ui_.QueueFileDialog(FileDialogResult{kFiles + "/heading_mixed.dat", true});
  ASSERT_EQ(OpenDataFileCommand(doc_), 1);
  const platform::FileDialogRequest& r = ui_.requests.at(0);
  EXPECT_EQ(r.title, "Open File");
  EXPECT_EQ(r.initialPath, kFiles + "/unsorted.dat");
  EXPECT_EQ(r.defaultExtension, "TXT");
  EXPECT_EQ(r.helpTopic, "datafiles.html");
  EXPECT_TRUE(r.mustExist && r.offerReadOnly && !r.overwritePrompt);
  EXPECT_TRUE(CurrentSession().currentDataFile.readOnly);

  // Cancel changes nothing; a name without a title is refused and asked again.
  const Snapshot before = Take();
  Forget();
  EXPECT_EQ(OpenDataFileCommand(doc_), 0);
  ui_.QueueFileDialog(FileDialogResult{dir_.Path() + "/", false});
  EXPECT_EQ(OpenDataFileCommand(doc_), 0);
  EXPECT_EQ(Messages(), Strings{"Open File / " + std::string(platform::ResourceString(52))});
  EXPECT_EQ(ui_.requests.size(), 3u);
  EXPECT_EQ(Take(), before);
}

TEST_F(DataFileFlows, SaveWritesTheCurrentFileOrRefuses) {
  const std::string path = dir_.File("run.dat");
  testsupport::WriteFile(path, "1 2\n3 4\n");
  ASSERT_EQ(Open(path), 1);
  doc_.ReplacePoint(1, 1, 40.5f, kRecordUndo);
  EXPECT_EQ(SaveDataFile(doc_), 0);
  EXPECT_EQ(testsupport::ReadFile(path), "1\t2\n3\t40.5\n");
  EXPECT_EQ(doc_.bModified, 0);

  doc_.ReplacePoint(0, 0, 9.0f, kRecordUndo);
  Hooks().commitGridEdit = [] { return false; };  // a pending cell edit that cannot be committed
  EXPECT_EQ(SaveDataFile(doc_), 1);
  Hooks().commitGridEdit = nullptr;
  CurrentSession().currentDataFile.readOnly = true;
  EXPECT_EQ(SaveDataFile(doc_), 1);
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::MessageBox).back().icon, platform::Icon::Error);
  CurrentSession().currentDataFile.readOnly = false;
  CurrentSession().currentDataFile.fullPath = path + "/run.dat";  // its folder is a file now
  EXPECT_EQ(SaveDataFile(doc_), 2);
  EXPECT_EQ(Messages(),
            (Strings{Pair(31, 32), PairWithReason(41, 135, "cannot create a file in " + path + ": Not a directory")}));
  EXPECT_EQ(doc_.bModified, 1);
  EXPECT_EQ(testsupport::ReadFile(path), "1\t2\n3\t40.5\n");
}

// The lines before the numbers (the sample's description, the column
// names) belong to the file: Save and Save As write them back before the
// numbers, a later read skips them again, New and another Open forget them.
TEST_F(DataFileFlows, SaveKeepsTheHeadingLinesOfTheFile) {
  const std::string path = dir_.File("growth.dat");
  testsupport::WriteFile(path, "E. coli, 37 C\r\n\r\ntime_h\tOD600\r\n0\t0.044\r\n# lamp off\r\n0.5\t0.063\r\n");
  const std::string saved = "E. coli, 37 C\n\ntime_h\tOD600\n0\t0.044\n0.5\t0.07\n";
  ASSERT_EQ(Open(path), 1);
  doc_.ReplacePoint(1, 1, 0.07f, kRecordUndo);
  ASSERT_EQ(SaveDataFile(doc_), 0);
  EXPECT_EQ(testsupport::ReadFile(path), saved);

  // Read back: the same numbers, and saving them again changes no byte.
  ASSERT_EQ(Open(path), 1);
  EXPECT_EQ(Take().values, (std::vector<std::vector<float>>{{0, 0.5f}, {0.044f, 0.07f}}));
  ASSERT_EQ(SaveDataFile(doc_), 0);
  EXPECT_EQ(testsupport::ReadFile(path), saved);

  const std::string copy = dir_.File("copy.dat");
  ui_.QueueFileDialog(FileDialogResult{copy, false});
  ASSERT_EQ(SaveDataFileAs(doc_, kSaveAsTitle), 1);
  EXPECT_EQ(testsupport::ReadFile(copy), saved);

  // Another file brings its own heading (here none); New has none.
  ASSERT_EQ(Open("unsorted.dat"), 1);
  ui_.QueueFileDialog(FileDialogResult{copy, false});
  ASSERT_EQ(SaveDataFileAs(doc_, kSaveAsTitle), 1);
  EXPECT_EQ(testsupport::ReadFile(copy), "3\t30\n1\t10\n2\t20\n");
  ASSERT_EQ(Open(path), 1);
  NewDataFile(doc_, false);
  doc_.AppendRows(1);
  ui_.QueueFileDialog(FileDialogResult{copy, false});
  ASSERT_EQ(SaveDataFileAs(doc_, kSaveAsTitle), 1);
  EXPECT_EQ(testsupport::ReadFile(copy), "0\t0\n");
}

TEST_F(DataFileFlows, SaveOfAnUntitledDataSetRunsSaveAs) {
  doc_.AppendRows(2);
  doc_.ReplacePoint(1, 1, 7.0f, kRecordUndo);
  const std::string path = dir_.File("fresh.dat");
  ui_.QueueFileDialog(FileDialogResult{path, false});
  EXPECT_EQ(SaveDataFile(doc_), 0);
  const platform::FileDialogRequest& r = ui_.requests.at(0);
  EXPECT_EQ(r.title, "Save As");
  EXPECT_TRUE(r.overwritePrompt && r.offerReadOnly && !r.mustExist);
  EXPECT_EQ(testsupport::ReadFile(path), "0\t0\n0\t7\n");
  EXPECT_EQ(Take().title, "fresh.dat");
  EXPECT_EQ(CurrentSession().currentDataFile.fullPath, path);
  EXPECT_EQ(ui_.Caption(), "Trendolin 1.4 - [fresh.dat]");

  // Save As onto a folder fails and keeps the current file; the read-only
  // box of a successful one becomes the flag.
  doc_.ReplacePoint(0, 0, 1.0f, kRecordUndo);
  ui_.QueueFileDialog(FileDialogResult{dir_.Path(), true});
  EXPECT_EQ(SaveDataFileAs(doc_, kSaveAsTitle), 0);
  EXPECT_EQ(Messages(), Strings{PairWithReason(41, 135, dir_.Path() + ": Is a directory")});
  EXPECT_EQ(Take().fullPath, path);
  EXPECT_EQ(doc_.bModified, 1);
  ui_.QueueFileDialog(FileDialogResult{dir_.File("locked.dat"), true});
  EXPECT_EQ(SaveDataFileAs(doc_, kSaveAsTitle), 1);
  EXPECT_TRUE(CurrentSession().currentDataFile.readOnly);
}

TEST_F(DataFileFlows, SaveChangesQuestion) {
  EXPECT_EQ(QuerySaveChanges(doc_), 0);  // nothing changed: no question
  const std::string path = dir_.File("q.dat");
  testsupport::WriteFile(path, "1 2\n");
  ASSERT_EQ(Open(path), 1);
  doc_.ReplacePoint(0, 1, 5.0f, kRecordUndo);
  const Snapshot before = Take();
  Forget();

  ui_.QueueAnswer(Answer::Cancel);  // Open asks first; Cancel keeps everything
  EXPECT_EQ(Open("heading_mixed.dat"), 0);
  EXPECT_EQ(Take(), before);
  const UiEvent question = ui_.EventsOf(UiEvent::Kind::MessageBox).at(0);
  EXPECT_EQ(question.caption, "Save Current File?");
  EXPECT_EQ(question.text, "q.dat has been changed. \n Save file before closing?");
  EXPECT_EQ(question.buttons, platform::Buttons::YesNoCancel);
  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_EQ(NewDataFile(doc_, true), 1);
  ui_.QueueAnswer(Answer::No);
  EXPECT_EQ(QuerySaveChanges(doc_), 0);
  CurrentSession().currentDataFile.readOnly = true;
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_EQ(QuerySaveChanges(doc_), 1);
  CurrentSession().currentDataFile.readOnly = false;
  EXPECT_EQ(testsupport::ReadFile(path), "1 2\n");
  EXPECT_EQ(Messages().back(), Pair(31, 32));
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_EQ(QuerySaveChanges(doc_), 0);
  EXPECT_EQ(testsupport::ReadFile(path), "1\t5\n");

  NewDataFile(doc_, false);  // untitled: "Save As...", and cancelling it aborts
  doc_.AppendRows(1);
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_EQ(QuerySaveChanges(doc_), 1);
  EXPECT_EQ(ui_.requests.at(0).title, "Save As...");
}

TEST_F(DataFileFlows, NewGivesAnEmptyUntitledDataSet) {
  ASSERT_EQ(Open("three_columns.dat"), 1);
  CurrentSession().currentDataFile.readOnly = true;
  EXPECT_EQ(NewDataFile(doc_, true), 0);
  EXPECT_EQ(Take(), (Snapshot{"UNTITLED.DAT", "", false, {{}, {}}}));
  EXPECT_EQ(doc_.nRowsAllocated, 25);
  EXPECT_EQ(ui_.Caption(), "Trendolin 1.4");
}

TEST_F(DataFileFlows, DroppedAndRecentFiles) {
  std::string log;
  const std::uint8_t savedFlags = DebugFlags;
  DebugFlags = 0x02;
  SetConsoleSink([&log](std::string_view text) { log += text; });
  EXPECT_EQ(OpenDroppedFiles(doc_, {kFiles + "/unsorted.dat", kFiles + "/heading_mixed.dat"}), 0);
  SetConsoleSink({});
  DebugFlags = savedFlags;
  EXPECT_EQ(log, "File dropped...\n");
  EXPECT_EQ(ui_.EventsOf(UiEvent::Kind::Beep).size(), 1u);
  EXPECT_EQ(Messages(), Strings{Pair(78, 79)});

  // A long path is no reason to refuse a file on Linux.
  std::string folder = dir_.Path();
  while (folder.size() < 300) folder += "/a_rather_long_folder_name";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(kFiles + "/unsorted.dat", folder + "/long.dat");
  EXPECT_EQ(Drop(folder + "/long.dat"), 1);

  // A recent file that is gone leaves the list; one that is there opens without the import dialog.
  CurrentSession().recentFiles = CreateMruList();
  AddMruName(CurrentSession().recentFiles, folder + "/long.dat");
  AddMruName(CurrentSession().recentFiles, dir_.File("gone.dat"));
  CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, true);
  Forget();
  EXPECT_EQ(OpenRecentFile(doc_, CurrentSession().recentFiles.firstId + 1), 0);
  EXPECT_EQ(CurrentSession().recentFiles.names, Strings{folder + "/long.dat"});
  EXPECT_EQ(calls_, Strings{"rebuildRecentMenu"});
  EXPECT_EQ(OpenRecentFile(doc_, CurrentSession().recentFiles.firstId + 1), 1);
  EXPECT_TRUE(ui_.EventsOf(UiEvent::Kind::ImportDialog).empty());
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace trendolin
