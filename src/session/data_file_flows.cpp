// The New, Open, Save, Save As and save-before-closing flows of data files,
// with their dialogs, messages and the current-file state.
#include "session/data_file_flows.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <system_error>

#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/mru_list.h"
#include "data/data_file.h"
#include "data/document_hooks.h"
#include "session/file_failure.h"
#include "platform/debug_log.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "session/session.h"

namespace trendolin {


namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

// Resource strings of the data-file messages.
constexpr int kReadOnlyCaption = 31;
constexpr int kReadOnlyText = 32;
constexpr int kDataFileCaption = 41;
constexpr int kBadDataText = 44;
constexpr int kBadFileNameText = 52;
constexpr int kDropCaption = 78;
constexpr int kDropOneText = 79;
constexpr int kWrongShapeText = 108;
constexpr int kImportCancelledText = 109;
constexpr int kCannotOpenWhyText = 134;
constexpr int kCannotWriteWhyText = 135;
constexpr int kBadLineText = 138;
constexpr int kNoDataWhyText = 139;
constexpr int kSkippedLinesText = 144;

// No resource string covers a data set too large for memory; the caption is
// the data-file one (41).
constexpr const char* kNoMemoryText = "There is not enough memory to hold the data of this file.";

void Warn(int captionId, int textId) {
  platform::ResourceMessageBox(captionId, textId, Icon::Exclamation, Buttons::Ok);
}

void ShowReadOnlyRefusal() {
  platform::ResourceMessageBox(kReadOnlyCaption, kReadOnlyText, Icon::Error, Buttons::Ok);
}

// The path as the current file keeps it: absolute, so that a later change of
// the working folder neither loses the file nor saves somewhere else.
std::string FullPathOf(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.string();
}

// The Open and Save dialogs. A name from which no title can be derived is
// refused the way the dialog itself refuses it: a warning with the dialog's
// caption, then the dialog again.
std::optional<platform::FileDialogResult> AskForDataFile(bool save, const std::string& title,
                                                         const std::string& initialPath) {
  platform::FileDialogRequest request;
  request.title = title;
  request.initialPath = initialPath;
  request.defaultExtension = CurrentSession().settings.dataExt;
  request.helpTopic = kDataFilesHelpTopic;
  request.mustExist = !save;
  request.overwritePrompt = save;
  request.offerReadOnly = true;
  platform::Ui& ui = platform::CurrentUi();
  for (;;) {
    std::optional<platform::FileDialogResult> result =
        save ? ui.SaveFileDialog(request) : ui.OpenFileDialog(request);
    if (!result || !FileTitle(result->path).empty()) return result;
    platform::TellUser(title, std::string(platform::ResourceString(kBadFileNameText)), Icon::Exclamation);
    request.initialPath = result->path;
  }
}

// The file and the system's reason in one box: "could not be opened"
// alone left a folder, a named pipe and a missing file looking alike.
void ReportCannotOpen(const std::string& path) {
  platform::TellUser(std::string(platform::ResourceString(kDataFileCaption)),
              platform::FormatResource(platform::ResourceString(kCannotOpenWhyText), {OpenFailureReason(path)}),
              Icon::Exclamation);
}

void ReportCannotWrite(const std::string& path, const std::string& error) {
  ReportWriteFailure(kDataFileCaption, kCannotWriteWhyText, path, error);
}

// "PATH: reason" for a file that opened but gave no data: empty, text
// without a line that begins with a number, only lines whose numbers are
// not finite, or bytes that are no text.
std::string NoDataReason(const std::string& path, int status, const SkippedLines& skipped) {
  if (status == kFileBadLine) return path + ": it holds NUL bytes, so it is no text file";
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) == 0 && !ec) return path + ": the file is empty";
  if (skipped.count > 0) return path + ": every line with numbers was skipped";
  return path + ": not one of its lines begins with a number";
}

// A scan that failed: one box that names the file and says what went wrong
// (a line at fault by its number).
void ReportScanFailure(const std::string& path, int status, long badLine, const SkippedLines& skipped) {
  if (status == kFileCannotOpen) {
    ReportCannotOpen(path);
    return;
  }
  const std::string caption(platform::ResourceString(kDataFileCaption));
  if (status == kFileBadLine && badLine > 0) {
    platform::TellUser(caption,
                platform::FormatResource(platform::ResourceString(kBadLineText), {path, std::to_string(badLine)}),
                Icon::Exclamation);
    return;
  }
  platform::TellUser(caption,
              platform::FormatResource(platform::ResourceString(kNoDataWhyText), {NoDataReason(path, status, skipped)}),
              Icon::Exclamation);
}

// Lines whose numbers are not finite are left out, never silently: the file
// still opens (one bad value must not make the rest unreadable), and the
// count and the first line number say where to look.
void ReportSkippedLines(const SkippedLines& skipped) {
  if (skipped.count == 0) return;
  const std::string text = platform::FormatResource(platform::ResourceString(kSkippedLinesText),
                                                    {std::to_string(skipped.count), std::to_string(skipped.firstLine)});
  platform::TellUser(std::string(platform::ResourceString(kDataFileCaption)), text, Icon::Exclamation);
}

enum class ImportStatus { Accepted, Cancelled, WrongShape };

// Which columns of the file become which columns of the data set.
ImportStatus DecideImport(ImportOptions& options, bool suppressDialog) {
  const bool showDialog = CurrentSession().settings.IsOn(kFlagShowFileImportDlg) && CurrentSession().autoOpenFlag == 0 && !suppressDialog;
  if (!showDialog) {
    return (options.columnsInFile == 2 || options.columnsInFile == 3) ? ImportStatus::Accepted
                                                                       : ImportStatus::WrongShape;
  }
  // The dialog opens with the defaults of a read without it: a file of
  // three columns is offered as x, y and uncertainty, so that OK as it opens
  // reads what the same file gives without the dialog.
  const ImportOptions scanned = options;
  if (!platform::CurrentUi().ImportOptionsDialog(options)) return ImportStatus::Cancelled;
  CurrentSession().settings.SetFlag(kFlagShowFileImportDlg, options.showDialogNextTime);
  // What the scan found is not the dialog's to change.
  options.path = scanned.path;
  options.columnsInFile = scanned.columnsInFile;
  options.pointsInFile = scanned.pointsInFile;
  DeriveImportOptions(options);
  // The dialog lets only consistent options through. The reading pass writes
  // one data-set column per column read, so any other shape is refused here
  // all the same rather than trusted.
  return CheckImportOptions(options) == 0 ? ImportStatus::Accepted : ImportStatus::WrongShape;
}

constexpr int kNoMemory = -100;  // ReadIntoStaging: no room for the columns

// One array per data-set column, of pointsInFile values, not initialised: the reading pass fills
// every row it reports.
using StagedColumns = std::vector<std::unique_ptr<datatype[]>>;

// The reading pass goes into columns of its own, not into the document: a
// file that turns out bad (or vanishes) after the scan then leaves the
// previous data set as it was.
int ReadIntoStaging(const ImportOptions& options, StagedColumns& staged, std::string* heading) {
  std::vector<datatype*> columns;
  try {
    for (int c = 0; c < options.dataSetColumns; ++c) {
      staged.push_back(std::make_unique_for_overwrite<datatype[]>(static_cast<std::size_t>(options.pointsInFile)));
      columns.push_back(staged.back().get());
    }
  } catch (const std::bad_alloc&) {
    staged.clear();
    return kNoMemory;
  }
  return Read_TRDL_File(options, columns.data(), true, heading);
}

void UseUncertaintyWeighting() {
  if (Hooks().setWeighting) {
    Hooks().setWeighting(kWeightingUncertainty);
  } else {
    // Without windows there is no weighting menu to keep in step: the
    // setting alone is the scheme the next fit uses.
    CurrentSession().settings.weighting = kWeightingUncertainty;
  }
}

// The windows let go of the old data set and an empty one of the given shape
// takes its place. False when its columns could not be allocated; the
// document then holds an empty two-column data set.
bool RebuildDataSet(CurveFit& doc, int points, int columns, bool uncertainty) {
  DocumentHooks& hooks = Hooks();
  CallHook(hooks.resetGrid);
  CallHook(hooks.closeAllGraphs);
  CallHook(hooks.emptyResultsList);
  doc.ResetData();
  int failed = 1;
  try {
    failed = doc.AllocateData(points, columns, uncertainty ? 1 : 0);
  } catch (const std::bad_alloc&) {
    failed = 1;
  }
  CurrentSession().currentDataFile.readOnly = false;
  if (failed != 0) {
    doc.AllocateData(0, 2, 0);
    return false;
  }
  if (uncertainty) UseUncertaintyWeighting();
  return true;
}

// "AutoSort": a file's points are sorted by x as soon as they are read.
void SortAfterReading(CurveFit& doc) {
  // The busy state stands for the disabled main window: no command may
  // arrive while the sort pumps events.
  platform::Ui& ui = platform::CurrentUi();
  ui.SetBusy(true);
  doc.SortData(0);
  ui.SetBusy(false);
}

enum class LoadStatus { Loaded, Failed, FailedAfterReset };

LoadStatus LoadDataFile(CurveFit& doc, const std::string& path, bool showOpenDialog, bool forceReadOnly,
                        bool suppressImportDialog) {
  std::string chosen = path;
  bool dialogReadOnly = false;
  if (showOpenDialog) {
    const std::optional<platform::FileDialogResult> result =
        AskForDataFile(false, kOpenDialogTitle, path.empty() ? CurrentSession().currentDataFile.fullPath : path);
    if (!result) return LoadStatus::Failed;
    chosen = result->path;
    dialogReadOnly = result->readOnly;
  }

  int columns = 0;
  SkippedLines skipped;
  long badLine = 0;
  std::size_t scannedBytes = 0;
  const int points = ScanDataFile(chosen, &columns, true, &skipped, &badLine, &scannedBytes);
  ReportSkippedLines(skipped);
  if (points < 0) {
    ReportScanFailure(chosen, points, badLine, skipped);
    return LoadStatus::Failed;
  }

  ImportOptions options = DefaultImportOptions(chosen, columns, points, CurrentSession().settings.IsOn(kFlagShowFileImportDlg));
  switch (DecideImport(options, suppressImportDialog)) {
    case ImportStatus::Accepted: break;
    case ImportStatus::Cancelled: Warn(kDataFileCaption, kImportCancelledText); return LoadStatus::Failed;
    case ImportStatus::WrongShape: Warn(kDataFileCaption, kWrongShapeText); return LoadStatus::Failed;
  }

  StagedColumns staged;
  std::string heading;
  options.scannedBytes = scannedBytes;  // the lines the scan counted, and no more
  const int rows = ReadIntoStaging(options, staged, &heading);
  if (rows == kNoMemory) {
    platform::TellUser(std::string(platform::ResourceString(kDataFileCaption)), kNoMemoryText, Icon::Exclamation);
    return LoadStatus::Failed;
  }
  // Fewer rows than the scan counted means the file changed in between.
  if (rows != points) {
    if (rows == kFileCannotOpen) {
      ReportCannotOpen(chosen);
    } else {
      Warn(kDataFileCaption, kBadDataText);
    }
    return LoadStatus::Failed;
  }

  if (!RebuildDataSet(doc, rows, options.dataSetColumns, options.uncertainty)) {
    platform::TellUser(std::string(platform::ResourceString(kDataFileCaption)), kNoMemoryText, Icon::Exclamation);
    return LoadStatus::FailedAfterReset;
  }
  for (int c = 0; c < options.dataSetColumns; ++c) {
    std::copy(staged[c].get(), staged[c].get() + rows, doc.Column(c));
  }
  staged.clear();
  doc.headingLines = std::move(heading);

  const std::string title = FileTitle(chosen);
  doc.szFileName = title.empty() ? kTitleError : title;
  CurrentSession().currentDataFile.fullPath = FullPathOf(chosen);
  doc.bStatsStale = 1;
  doc.UpdateTitle(doc.szFileName, false);
  AddMruName(CurrentSession().recentFiles, CurrentSession().currentDataFile.fullPath);
  CallHook(Hooks().rebuildRecentMenu);
  if (CurrentSession().settings.IsOn(kFlagAutoSort)) SortAfterReading(doc);
  CurrentSession().currentDataFile.readOnly = forceReadOnly || dialogReadOnly;
  CallHook(Hooks().refresh);
  CallHook(Hooks().repaintMain);
  return LoadStatus::Loaded;
}

// The whole data set to `path`, after the heading lines of the file it came
// from, with progress; a failure is reported with the file and the system's
// reason.
int WriteDocument(CurveFit& doc, const std::string& path) {
  const std::vector<datatype*> columns = doc.ColumnPointers();
  std::string error;
  const int written =
      WriteDataFile(path, columns.data(), 0, 0, doc.nPoints, doc.nColumns, true, &error, doc.headingLines);
  if (written != 0) ReportCannotWrite(path, error);
  return written;
}

}  // namespace

int OpenDataFile(CurveFit& doc, const std::string& path, bool showOpenDialog, bool forceReadOnly,
                 bool suppressImportDialog) {
  if (QuerySaveChanges(doc) == 1) return 0;
  const std::string previousTitle = doc.szFileName;
  switch (LoadDataFile(doc, path, showOpenDialog, forceReadOnly, suppressImportDialog)) {
    case LoadStatus::Loaded: return 1;
    case LoadStatus::Failed: doc.szFileName = previousTitle; break;
    case LoadStatus::FailedAfterReset:
      // The previous data set is gone: the empty one left must not carry the
      // old file's name, or the next Save would overwrite that file with nothing.
      CurrentSession().currentDataFile.fullPath.clear();
      platform::CurrentUi().SetCaption(kAppCaption);
      break;
  }
  CallHook(Hooks().repaintMain);
  return 0;
}

int OpenDataFileCommand(CurveFit& doc) { return OpenDataFile(doc, CurrentSession().currentDataFile.fullPath, true, false, false); }

int OpenStartupFile(CurveFit& doc, const std::string& path) {
  if (path.empty()) return 0;
  return OpenDataFile(doc, path, false, false, true);
}

int OpenDroppedFiles(CurveFit& doc, const std::vector<std::string>& paths) {
  DebugLog("File dropped...\n");
  if (paths.size() > 1) {
    platform::CurrentUi().Beep();
    Warn(kDropCaption, kDropOneText);
    return 0;
  }
  if (paths.empty()) return 0;
  // Paths of 261 characters and more were once refused with a beep: they did
  // not fit the path buffers. Linux paths run to PATH_MAX, so no length is
  // refused here; a path the system cannot open gets the usual message.
  return OpenDataFile(doc, paths.front(), false, false, false);
}

int OpenRecentFile(CurveFit& doc, int commandId) {
  const std::optional<std::string> path = ChooseMruEntry(CurrentSession().recentFiles, commandId);
  if (!path) {
    CallHook(Hooks().rebuildRecentMenu);
    return 0;
  }
  return OpenDataFile(doc, *path, false, false, true);
}

int SaveDataFile(CurveFit& doc) {
  if (Hooks().commitGridEdit && !Hooks().commitGridEdit()) return 1;
  if (doc.szFileName == kUntitledFileName) {
    SaveDataFileAs(doc, kSaveAsTitle);
    return 0;
  }
  if (CurrentSession().currentDataFile.readOnly) {
    ShowReadOnlyRefusal();
    return 1;
  }
  if (WriteDocument(doc, CurrentSession().currentDataFile.fullPath) != 0) return 2;
  doc.ClearModified();
  return 0;
}

int SaveDataFileAs(CurveFit& doc, const std::string& title) {
  const std::string initial = CurrentSession().currentDataFile.fullPath.empty() ? doc.szFileName : CurrentSession().currentDataFile.fullPath;
  const std::optional<platform::FileDialogResult> result = AskForDataFile(true, title, initial);
  if (!result) return 0;
  if (WriteDocument(doc, result->path) != 0) return 0;
  CurrentSession().currentDataFile.fullPath = FullPathOf(result->path);
  CurrentSession().currentDataFile.readOnly = result->readOnly;
  doc.szFileName = FileTitle(result->path);
  doc.UpdateTitle(doc.szFileName, false);
  CallHook(Hooks().refresh);
  doc.ClearModified();
  CallHook(Hooks().repaintMain);
  return 1;
}

int NewDataFile(CurveFit& doc, bool ask) {
  if (ask && QuerySaveChanges(doc) == 1) return 1;
  RebuildDataSet(doc, 0, 2, false);
  CurrentSession().currentDataFile.fullPath.clear();
  platform::CurrentUi().SetCaption(kAppCaption);
  CallHook(Hooks().repaintMain);
  return 0;
}

int QuerySaveChanges(CurveFit& doc) {
  if (!doc.bModified) return 0;
  platform::MessageBoxRequest request;
  request.caption = kSaveChangesCaption;
  request.text = doc.szFileName + " " + kSaveChangesText;
  request.icon = Icon::Exclamation;
  request.buttons = Buttons::YesNoCancel;
  request.unattendedAnswer = Answer::No;  // nobody there to ask: nothing is written unasked
  const Answer answer = platform::CurrentUi().MessageBox(request);
  if (answer == Answer::No) return 0;
  if (answer != Answer::Yes) return 1;

  if (CurrentSession().currentDataFile.readOnly) {
    ShowReadOnlyRefusal();
    return 1;
  }
  if (doc.szFileName == kUntitledFileName) return SaveDataFileAs(doc, kSaveAsFromPromptTitle) == 1 ? 0 : 1;
  if (WriteDocument(doc, CurrentSession().currentDataFile.fullPath) != 0) return 1;
  doc.ClearModified();
  return 0;
}

}  // namespace trendolin
