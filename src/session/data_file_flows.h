// The user's ways in and out of data files: New, Open (from the menu, the
// command line, a dropped file or the recent-file list), Save, Save As and
// the question before unsaved data are discarded.
#pragma once

#include <string>
#include <vector>

#include "data/curve_fit.h"

namespace trendolin {

// The file behind the session's data set, held by the session like the data:
// the flows below read and write it, the windows only read it.
struct CurrentFileState {
  // Full path of the current data file; empty until a file is opened or
  // saved, and again after New.
  std::string fullPath;
  // Set when the file was opened read-only (forced by the caller or ticked in
  // a file dialog): Save then refuses to write.
  bool readOnly = false;
};

inline constexpr const char* kOpenDialogTitle = "Open File";
inline constexpr const char* kSaveAsTitle = "Save As";               // the menu's Save As
inline constexpr const char* kSaveAsFromPromptTitle = "Save As...";  // Save As from the closing question
inline constexpr const char* kDataFilesHelpTopic = "datafiles.html";
inline constexpr const char* kSaveChangesCaption = "Save Current File?";
inline constexpr const char* kSaveChangesText = "has been changed. \n Save file before closing?";

// Opens a data file into `doc`: asks whether unsaved changes are to be saved,
// optionally shows the Open dialog (starting with `path`, or the current
// file's path when `path` is empty), scans the file, decides the import
// options (with the import dialog unless the setting, the "-auto" switch or
// `suppressImportDialog` says no), reads it and makes it the current file.
// Every failure is reported to the user and leaves the previous data set,
// title and current file as they were. 1 when a file was loaded, else 0.
int OpenDataFile(CurveFit& doc, const std::string& path, bool showOpenDialog, bool forceReadOnly,
                 bool suppressImportDialog);

// The File menu's Open: the Open dialog, import dialog allowed.
int OpenDataFileCommand(CurveFit& doc);

// The file named on the command line: no dialogs at all.
int OpenStartupFile(CurveFit& doc, const std::string& path);

// Files dropped on the main window: exactly one is opened (no Open dialog,
// import dialog allowed); more get a beep and a warning. 1 when loaded.
int OpenDroppedFiles(CurveFit& doc, const std::vector<std::string>& paths);

// A recent-file entry of the File menu: a file that is gone is dropped from
// the list and the menu rebuilt; otherwise it is opened without dialogs.
// 1 when loaded.
int OpenRecentFile(CurveFit& doc, int commandId);

// Save: 0 saved (or handed to Save As for an untitled data set); 1 refused
// (read-only, or the grid's pending edit could not be committed); 2 the file
// could not be written (the data stay modified).
int SaveDataFile(CurveFit& doc);

// Save As with the given dialog title: 1 saved, 0 cancelled or failed.
int SaveDataFileAs(CurveFit& doc, const std::string& title);

// New: 0 done, 1 the user cancelled at the save question (`ask`).
int NewDataFile(CurveFit& doc, bool ask);

// Before unsaved data would be discarded: 0 go ahead, 1 abort the action.
int QuerySaveChanges(CurveFit& doc);

}  // namespace trendolin
