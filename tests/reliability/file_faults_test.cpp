// Every writer of a user's file, made to fail the ways disks and folders fail:
// full, read-only, the target a folder, the target's folder gone. Each time
// the user is told through the Ui, the previous file is intact, the data stay
// marked modified where that applies, and no temporary file is left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "data/data_file.h"
#include "session/data_file_flows.h"
#include "session/export_file.h"
#include "session/nonlinear_routine.h"
#include "session/regression_routines.h"
#include "session/table_file.h"
#include "fit/nonlinear.h"
#include "platform/headless_ui.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

namespace fs = std::filesystem;
using platform::HeadlessUi;
using platform::UiEvent;

constexpr const char* kPrevious = "the previous contents\n";

// Writes beyond `bytes` fail as on a full disk (EFBIG instead of ENOSPC, the
// same failure to every writer), without needing a small file system.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    ::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  sighandler_t previousHandler_;
};

// One writer of the program, run as its command runs it.
struct Writer {
  const char* name;
  const char* fileName;  // the history file's name is fixed
  const char* caption;   // of the box that tells the user
  // Sets up what the command needs; then the command, true when it wrote.
  std::function<void(CurveFit&)> prepare;
  std::function<bool(CurveFit&, const std::string& path)> write;
  bool marksModified = false;
};

// Test names and failure messages show the writer by its name.
void PrintTo(const Writer& writer, std::ostream* out) { *out << writer.name; }

void FillLine(CurveFit& doc, int n) {
  doc.ResetData();
  doc.AllocateData(n, 2, 0);
  for (int i = 0; i < n; ++i) {
    doc.At(i, 0) = static_cast<float>(i) * 0.37f;
    doc.At(i, 1) = 2.0f * std::exp(0.05f * static_cast<float>(i)) + 0.001f * static_cast<float>(i % 3);
  }
  doc.bStatsStale = 1;
}

void StoreLinearFit(CurveFit& doc) {
  doc.ResetFitResult(500);
  doc.Slot(500).coefficients = {1.0f, 2.0f};
  doc.Slot(500).statistics = {0.5f, 0.97f, 2.0f};
  doc.MarkFitted(500, kWeightingNone);
}

// Each writes more than the size limit below lets through.
std::vector<Writer> Writers() {
  return {
      {"DataSave", "data.dat", "Data File",
       [](CurveFit& doc) {
         FillLine(doc, 400);
         doc.MarkModified();
       },
       [](CurveFit& doc, const std::string& path) {
         CurrentSession().currentDataFile = {path, false};
         doc.szFileName = FileTitle(path);
         return SaveDataFile(doc) == 0;
       },
       true},
      {"Settings", "REVUZI.INI", "Settings",
       [](CurveFit&) { CurrentSession().settings = DefaultAppSettings(); },
       [](CurveFit&, const std::string& path) { return SaveSettingsFile(path); }},
      {"History", kHistoryFileName, "Iteration History",
       [](CurveFit& doc) {
         FillLine(doc, 60);
         CurrentSession().settings = DefaultAppSettings();
       },
       [](CurveFit& doc, const std::string& path) {
         testsupport::ScopedCurrentDir here(fs::path(path).parent_path().string());
         NonlinearPrepareFit(doc, 504);
         return fs::is_regular_file(path) && testsupport::ReadFile(path) != kPrevious;
       }},
      {"Export", "fit.txt", "Export",
       [](CurveFit& doc) {
         FillLine(doc, 200);
         StoreLinearFit(doc);
       },
       [](CurveFit& doc, const std::string& path) {
         ExportOptions options;
         options.model = 500;
         return ExportToFile(doc, path, options) == ExportOutcome::Written;
       }},
      {"Table", "table.txt", "Table File",
       [](CurveFit& doc) {
         FillLine(doc, 10);
         StoreLinearFit(doc);
       },
       [](CurveFit& doc, const std::string& path) {
         TableOptions options;
         options.startX = 0;
         options.endX = 200;
         options.step = 1;
         return GenerateTableFile(doc, path, 500, options);
       }},
  };
}

class FileFaultTest : public ::testing::TestWithParam<Writer> {
 protected:
  void SetUp() override {
    writer_ = GetParam();
    target_ = dir_.File(writer_.fileName);
    writer_.prepare(doc_);
  }
  // Runs the writer, which must fail, and checks what every failure owes.
  void ExpectFailureTold() {
    ui_.ClearEvents();
    EXPECT_FALSE(writer_.write(doc_, target_));
    const std::vector<UiEvent> boxes = ui_.EventsOf(UiEvent::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u) << "the user is told once";
    EXPECT_EQ(boxes[0].caption, writer_.caption);
    EXPECT_FALSE(boxes[0].text.empty());
    if (writer_.marksModified) {
      EXPECT_EQ(doc_.bModified, 1) << "the data still need saving";
    }
    EXPECT_EQ(Stray(), std::vector<std::string>{}) << "no temporary file is left behind";
  }

  // Files in the folder other than the target.
  std::vector<std::string> Stray() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir_.Path(), ec)) {
      if (e.path().filename() != writer_.fileName) names.push_back(e.path().filename().string());
    }
    return names;
  }

  // A first successful write: the program can write here, and a later
  // failure is told afresh.
  void ExpectWrites() {
    ASSERT_TRUE(writer_.write(doc_, target_)) << writer_.name;
    ASSERT_TRUE(fs::is_regular_file(target_));
  }

  testsupport::TempDir dir_;
  HeadlessUi ui_{HeadlessUi::Mode::Unattended};
  platform::ScopedUi installed_{ui_};
  CurveFit doc_;
  Writer writer_;
  std::string target_;
};

TEST_P(FileFaultTest, FullDiskKeepsThePreviousFile) {
  ExpectWrites();
  testsupport::WriteFile(target_, kPrevious);
  if (writer_.marksModified) doc_.MarkModified();
  {
    ScopedFileSizeLimit full(64);
    ExpectFailureTold();
  }
  EXPECT_EQ(testsupport::ReadFile(target_), kPrevious);
}

TEST_P(FileFaultTest, DeviceThatIsFullIsWrittenInPlaceAndKept) {
  ExpectWrites();
  fs::remove(target_);
  fs::create_symlink("/dev/full", target_);
  if (writer_.marksModified) doc_.MarkModified();
  ExpectFailureTold();
  EXPECT_TRUE(fs::is_symlink(target_));
  EXPECT_EQ(fs::read_symlink(target_), "/dev/full");
  struct stat st {};
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device was not replaced";
}

TEST_P(FileFaultTest, ReadOnlyFolderKeepsThePreviousFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop writes";
  ExpectWrites();
  testsupport::WriteFile(target_, kPrevious);
  if (writer_.marksModified) doc_.MarkModified();
  fs::permissions(dir_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  ExpectFailureTold();
  fs::permissions(dir_.Path(), fs::perms::owner_all);
  EXPECT_EQ(testsupport::ReadFile(target_), kPrevious);
}

TEST_P(FileFaultTest, TargetReplacedByAFolderIsLeftAlone) {
  ExpectWrites();
  fs::remove(target_);
  fs::create_directory(target_);
  testsupport::WriteFile(target_ + "/inside", kPrevious);
  if (writer_.marksModified) doc_.MarkModified();
  ExpectFailureTold();
  EXPECT_TRUE(fs::is_directory(target_));
  EXPECT_EQ(testsupport::ReadFile(target_ + "/inside"), kPrevious);
}

TEST_P(FileFaultTest, TargetThatDisappearedIsWrittenAfresh) {
  ExpectWrites();
  fs::remove(target_);
  EXPECT_TRUE(writer_.write(doc_, target_));
  EXPECT_TRUE(fs::is_regular_file(target_));
  EXPECT_EQ(Stray(), std::vector<std::string>{});
  if (writer_.marksModified) {
    EXPECT_EQ(doc_.bModified, 0);
  }
}

TEST_P(FileFaultTest, FolderThatDisappearedIsTold) {
  if (std::string(writer_.fileName) == kHistoryFileName) {
    // The history is written where the program runs, and a folder that is
    // gone cannot be the current one: the full disk above is its test.
    GTEST_SKIP() << "the history file is always written in the current folder";
  }
  const std::string gone = dir_.File("gone");
  fs::create_directory(gone);
  target_ = gone + "/" + writer_.fileName;
  ExpectWrites();
  fs::remove_all(gone);
  if (writer_.marksModified) doc_.MarkModified();
  ExpectFailureTold();
  EXPECT_FALSE(fs::exists(gone));
}

INSTANTIATE_TEST_SUITE_P(Writers, FileFaultTest, ::testing::ValuesIn(Writers()),
                         [](const ::testing::TestParamInfo<Writer>& info) { return std::string(info.param.name); });

// The settings file is never replaced by one made from a file the program
// could not read: the sections it could not see would be lost.
TEST(SettingsFileFaults, UnreadableSettingsAreNotReplaced) {
  testsupport::TempDir dir;
  HeadlessUi ui(HeadlessUi::Mode::Unattended);
  platform::ScopedUi installed(ui);
  const std::string path = dir.File("REVUZI.INI");
  fs::create_symlink("/dev/zero", path);  // reads for ever
  EXPECT_FALSE(SaveSettingsFile(path));
  EXPECT_EQ(ui.EventsOf(UiEvent::Kind::MessageBox).size(), 1u);
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(ReadAppSettings(path), DefaultAppSettings()) << "a device reads as no file";
}

}  // namespace
}  // namespace trendolin
