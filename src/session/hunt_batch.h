// FitHunter over many data files at once: each file is searched in a
// session of its own, on a few worker threads, exactly as a search of that
// file alone would run; the rows come back in the order of the files.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "data/curve_fit.h"
#include "platform/import_options.h"
#include "session/fit_hunter.h"

namespace trendolin {

// The request of a search without the dialog: without a maximum degree or
// groups, the accelerators' default (degrees up to 8, every group but the
// interpolations); with either, what the FitHunter dialog's OK accepts
// (the polynomial group dropped when its box could not be checked). A
// request the dialog would refuse shows its warning through the current Ui
// and answers nullopt. The single search and the batch both ask here.
std::optional<SearchRequest> SearchRequestFor(const CurveFit& doc, std::optional<int> maxDegree,
                                              std::optional<int> groups);

// What the search of one file came to.
struct HuntRow {
  std::string file;
  int best = -1;  // the best model's id, or -1 when nothing was fitted
  std::string name;
  // Of the best model; absent when there is none.
  std::optional<datatype> score;
  std::optional<datatype> standardError;
  std::optional<datatype> correlation;
  // Why the file has no best model (the message the person would have
  // been shown); empty when it has one.
  std::string error;
  // Everything the file's session told, in its order, one message a line
  // group ("caption: text", as the command-line tool prints messages).
  std::string messages;
};

struct HuntBatchOptions {
  // The settings every file's session starts from: read once by the caller
  // (whose thread has also applied their locale, which is the process's).
  AppSettings settings = DefaultAppSettings();
  std::optional<int> maxDegree;
  std::optional<int> groups;
  // The user model's formula for the user group; without one, the formula
  // the program starts with. The caller has already checked it.
  std::optional<std::string> userFormula;
  // Answers the import dialog for every file, editing the options as a
  // person would; false refuses the file, with the reason in `why`. Without
  // one, files are read as with the import dialog switched off. Called on
  // the worker threads.
  std::function<bool(ImportOptions& options, std::string* why)> importDialog;
  // Where the fits keep their iteration history should the batch be unable
  // to make its private temporary folder for them (empty: the current
  // folder). The command-line tool gives the settings folder.
  std::string historyFolder;
  // Called on the calling thread with each row as soon as it and every row
  // before it are done, in the order of the files.
  std::function<void(std::size_t index, const HuntRow& row)> onRow;
};

// Searches every file on `jobs` worker threads (at least 1, at most one per
// file). Each file gets a session of its own with an unattended Ui that
// collects its messages, the given settings, the user formula, and its data
// examined as after opening the file; the iteration histories of the
// batch's fits go to a private temporary folder that is removed at the end.
// The rows are in the order of `files`.
std::vector<HuntRow> RunHuntBatch(const std::vector<std::string>& files, const HuntBatchOptions& options,
                                  int jobs);

}  // namespace trendolin
