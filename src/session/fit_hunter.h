// FitHunter (the automatic model search), Calculate Groups (every model of
// chosen groups with a window each) and the ranking the results list shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/curve_fit.h"
#include "session/linear_fits_dialogs.h"

namespace trendolin {

// Groups are sets of class bits (CLASS_INTERPOLATION 1 .. CLASS_YIELD_DENSITY 512).
inline constexpr int kSearchGroupsMask = 1022;     // every group but the interpolations
inline constexpr int kAllGroupsMask = 1023;        // Calculate Groups also offers the interpolations
inline constexpr int kDefaultSearchDegree = 8;     // the accelerators' maximum degree

// What a search fits: polynomials of degrees 3..maxDegree (when the
// polynomial group is in the mask) and every model of the other groups.
struct SearchRequest {
  int maxDegree = kDefaultSearchDegree;
  int classMask = kSearchGroupsMask;
};

// ---- the score and the ranking ----

// sqrt(4 S^2 + (1 - r)^2) from the standard error S and the correlation
// coefficient r, as a float; r outside [0, 1] counts as 0. Lower is better.
datatype FitScore(datatype standardError, datatype correlation);

struct RankingEntry {
  int modelId = 0;
  datatype score = 0;
  int rank = 0;  // 1 for the best
};

// Every model 500..539 fitted under any weighting, with statistics, that is
// not an interpolation, by ascending score (a score that is not a number
// last; equal scores in ascending id), ranked from 1.
std::vector<RankingEntry> RankFittedModels(CurveFit& doc);

// The name the results list gives a model (the longer model name).
std::string RankingName(int id);
// One line of the results list: "%d\t%s" with the rank and the name.
std::string RankingLine(const RankingEntry& entry);

// What the results list shows; it holds its model id with every line.
struct RankingList {
  std::vector<RankingEntry> entries;
  std::vector<std::string> Lines() const;
};

// Rebuilds the session's ranking from the stored fits (after every successful fit and
// after Clear Curvefits) and tells the results list.
void RebuildRankingList(CurveFit& doc);
// Empties it (a new data set) and tells the results list.
void ClearRankingList();

// ---- the search ----

// Fits every applicable model of the groups in `classMask` unattended and
// answers the id of the best score (ties go to the lower id and, among
// polynomials, the lower degree), or -1 when nothing could be fitted. Open
// graphs of those groups are closed first. Skips models whose command is
// disabled (as the last Reexamine decided) and everything that is not a
// regression; a fault a driver lets through only ends that model's fit. The current polynomial
// degree ends as the best polynomial degree found (unchanged when none
// was). An abort raises errnotify (error 15) after clearing the unattended
// flag and restoring the degree.
int FitHunterSearch(CurveFit& doc, int maxDegree, int classMask);

// ---- the commands ----

// What the FitHunter command came to.
enum class FitHunterEnd {
  Found,      // the best model's command was sent (its window opens)
  NotFound,   // nothing could be fitted: warning 9/8
  Aborted,    // a fit was aborted: the search ended
  Cancelled,  // the dialog was cancelled or the grid refused
};
struct FitHunterOutcome {
  FitHunterEnd end = FitHunterEnd::Cancelled;
  int best = -1;
};

// Command 478: `notifyCode` 0 (menu, toolbar) asks with the FitHunter
// dialog, any other (Ctrl+F, Ctrl+E) searches with the default request.
FitHunterOutcome FitHunterCommand(CurveFit& doc, int notifyCode);
// The command once it has its request: the search in batch mode, then the
// best model's command or the warning.
FitHunterOutcome RunFitHunter(CurveFit& doc, const SearchRequest& request);

// One model of a group run and what its command came to.
struct GroupRunEntry {
  int modelId = 0;
  int result = 0;       // kWindowOpened, kWindowDeclined or kWindowError
  std::string reason;   // why its window did not open (what the fit would have reported); empty when it did
};

// A Calculate Groups run: every model of the groups (but the data plot) in
// ascending id gets its command, unattended and without dialogs. 0, or -1
// when no new graph window was opened. An escaped error (an abort) ends it
// with 0. `log`, when given, receives every model sent.
int CalculateGroupsRun(CurveFit& doc, int classMask, std::vector<GroupRunEntry>* log = nullptr);
// The run with its ending: one message (caption 47) that says when no
// window opened, names every model that failed with why, and says where an
// aborted run stopped and how many windows it opened; none when every model
// got its window.
int RunCalculateGroups(CurveFit& doc, int classMask, std::vector<GroupRunEntry>* log = nullptr);
// Command 482: the Calculate Groups dialog, then the run.
int CalculateGroupsCommand(CurveFit& doc);

// ---- the dialogs' rules ----

inline constexpr MessagePair kNoFitFound{9, 8};
inline constexpr MessagePair kSearchDegreeRefused{9, 1};
inline constexpr MessagePair kNoGroupWindow{47, 48};

// How the FitHunter (`calculateGroups` false) or Calculate Groups dialog
// opens: every box checked, but the polynomial box is cleared and disabled
// with 4 points or fewer; FitHunter's degree field shows the current
// degree, its spin control runs from 3 to min(MaxPolyDegree, n - 1).
struct GroupsDialogSetup {
  int groupMask = kSearchGroupsMask;   // the boxes the dialog has
  int checkedMask = kSearchGroupsMask;
  bool polynomialEnabled = true;
  int degree = 0;
  int spinLower = 3;
  int spinUpper = 3;
};
GroupsDialogSetup GroupsDialogOpening(const CurveFit& doc, bool calculateGroups);

// Select all checks every box (the polynomial box only while enabled);
// select none clears them all.
int SelectAllGroups(const GroupsDialogSetup& setup);

// FitHunter's OK. With the polynomial box checked the degree text must be
// an integer d with 3 <= d <= MaxPolyDegree and d < n - 1 (text the integer
// reader refuses keeps the dialog open silently; a refused number beeps and
// shows 9/1); with it clear the field is not read and the maximum degree
// is 3.
enum class SearchDialogVerdict { Accepted, NotANumber, DegreeRefused };
struct SearchDialogCheck {
  SearchDialogVerdict verdict = SearchDialogVerdict::NotANumber;
  SearchRequest request;
  std::optional<MessagePair> warning;
};
SearchDialogCheck CheckFitHunterDialog(int checkedMask, std::string_view degreeText, int nPoints,
                                       int maxPolyDegree);

}  // namespace trendolin
