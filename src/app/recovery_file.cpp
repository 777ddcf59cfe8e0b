#include "app/recovery_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "app/mru_list.h"
#include "app/settings_location.h"
#include "data/curve_fit.h"
#include "data/data_file.h"
#include "session/data_file_flows.h"
#include "data/document_hooks.h"
#include "platform/debug_log.h"
#include "platform/profile_file.h"
#include "platform/ui.h"
#include "session/session.h"

namespace trendolin {
namespace {

constexpr const char* kRecoveryKey = "DataFile";
constexpr const char* kRecoveryCaption = "Unsaved Data";

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

platform::Answer AskToRestore(const std::string& origin) {
  const std::string name = origin.empty() ? std::string(kUntitledFileName) : FileTitle(origin);
  platform::MessageBoxRequest request;
  request.caption = kRecoveryCaption;
  request.text = "The program was ended with unsaved changes to " + name +
                 ", and the data were kept.\n\nRestore them?\n\nYes restores the data as unsaved changes; "
                 "No discards them.";
  request.icon = platform::Icon::Question;
  request.buttons = platform::Buttons::YesNo;
  // Nobody there to ask (a scripted start): keep the data for a person.
  request.unattendedAnswer = platform::Answer::Cancel;
  return platform::CurrentUi().MessageBox(request);
}

// The recovery file was opened as if it were the user's file: it must not
// stay in the recent files, nor be the file that Save writes.
void ForgetRecoveryName(const std::string& recovery) {
  for (std::size_t i = 0; i < MruCount(CurrentSession().recentFiles); ++i) {
    const std::optional<std::string> name = GetMruName(CurrentSession().recentFiles, i);
    if (name && *name == recovery) {
      RemoveMruName(CurrentSession().recentFiles, i);
      if (Hooks().rebuildRecentMenu) Hooks().rebuildRecentMenu();
      return;
    }
  }
}

}  // namespace

std::string RecoveryFilePath(const std::string& settingsFile) {
  const std::string folder = settingsFile.empty() ? UnsettledRunFolder() : FolderOf(settingsFile);
  return folder + "/" + kRecoveryFileName;
}

bool KeepUnsavedData(CurveFit& doc, const std::string& settingsFile) {
  if (doc.bModified == 0 || doc.nPoints <= 0) return true;
  const std::string recovery = RecoveryFilePath(settingsFile);
  if (settingsFile.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(FolderOf(recovery), ec);  // the write below tells a failure
  }
  const std::vector<datatype*> columns = doc.ColumnPointers();
  // The heading goes along, so that a restored data set saves it back too.
  if (WriteDataFile(recovery, columns.data(), 0, 0, doc.nPoints, doc.nColumns, false, nullptr, doc.headingLines) !=
      0) {
    DebugLogF("Unsaved data could not be kept in %s.\n", recovery.c_str());
    return false;
  }
  // Where the data came from, so a restored data set saves where it would have.
  std::string error;
  if (!settingsFile.empty()) {
    platform::WriteProfileString(settingsFile, kRecoverySection, kRecoveryKey, CurrentSession().currentDataFile.fullPath, &error);
  }
  DebugLogF("Unsaved data kept in %s.\n", recovery.c_str());
  return true;
}

RecoveryOutcome OfferRecovery(CurveFit& doc, const std::string& settingsFile) {
  std::string recovery = RecoveryFilePath(settingsFile);
  std::string settings = settingsFile;
  if (!Exists(recovery)) {
    // What a run without a settings file kept, offered also once there is one.
    recovery = RecoveryFilePath("");
    settings.clear();
    if (!Exists(recovery)) return RecoveryOutcome::None;
  }
  const std::string origin =
      settings.empty() ? std::string() : platform::ReadProfileString(settings, kRecoverySection, kRecoveryKey, "");
  const auto forgetOrigin = [&settings] {
    if (!settings.empty()) platform::WriteProfileString(settings, kRecoverySection, kRecoveryKey, "");
  };
  const platform::Answer answer = AskToRestore(origin);
  if (answer == platform::Answer::No) {
    ::unlink(recovery.c_str());
    forgetOrigin();
    return RecoveryOutcome::Discarded;
  }
  if (answer != platform::Answer::Yes) return RecoveryOutcome::Kept;
  // No dialogs: the file is the program's own, two or three columns as written.
  if (OpenDataFile(doc, recovery, false, false, true) != 1) return RecoveryOutcome::Kept;
  ForgetRecoveryName(recovery);
  CurrentSession().currentDataFile.fullPath = origin;
  CurrentSession().currentDataFile.readOnly = false;
  doc.szFileName = origin.empty() ? std::string(kUntitledFileName) : FileTitle(origin);
  doc.UpdateTitle(doc.szFileName, false);
  doc.MarkModified();
  // The data live in the data set now, marked unsaved: the copy has served.
  ::unlink(recovery.c_str());
  forgetOrigin();
  if (Hooks().repaintMain) Hooks().repaintMain();
  return RecoveryOutcome::Restored;
}

}  // namespace trendolin
