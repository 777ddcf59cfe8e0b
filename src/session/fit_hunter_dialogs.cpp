// What the FitHunter and Calculate Groups dialogs show and accept.
#include "session/fit_hunter.h"

#include <algorithm>

#include "app/app_settings.h"
#include "fit/engine_state.h"
#include "session/session.h"

namespace trendolin {
namespace {

constexpr int kLowestSearchDegree = 3;
constexpr int kMostPointsWithoutPolynomial = 4;

}  // namespace

GroupsDialogSetup GroupsDialogOpening(const CurveFit& doc, bool calculateGroups) {
  GroupsDialogSetup setup;
  setup.groupMask = calculateGroups ? kAllGroupsMask : kSearchGroupsMask;
  setup.polynomialEnabled = doc.nPoints > kMostPointsWithoutPolynomial;
  setup.checkedMask = SelectAllGroups(setup);
  setup.degree = CurrentEngine().polynomialDegree;
  setup.spinLower = kLowestSearchDegree;
  setup.spinUpper = std::min(CurrentSession().settings.maxPolyDegree, doc.nPoints - 1);
  return setup;
}

int SelectAllGroups(const GroupsDialogSetup& setup) {
  return setup.polynomialEnabled ? setup.groupMask : setup.groupMask & ~CLASS_POLYNOMIAL;
}

SearchDialogCheck CheckFitHunterDialog(int checkedMask, std::string_view degreeText, int nPoints,
                                       int maxPolyDegree) {
  SearchDialogCheck check;
  check.request.classMask = checkedMask;
  check.request.maxDegree = kLowestSearchDegree;
  if (checkedMask & CLASS_POLYNOMIAL) {
    const std::optional<int> degree = ReadDialogInteger(degreeText);
    if (!degree) return check;  // NotANumber: the dialog stays open
    if (*degree < kLowestSearchDegree || *degree > maxPolyDegree || *degree >= nPoints - 1) {
      check.verdict = SearchDialogVerdict::DegreeRefused;
      check.warning = kSearchDegreeRefused;
      return check;
    }
    check.request.maxDegree = std::max(*degree, kLowestSearchDegree);
  }
  check.verdict = SearchDialogVerdict::Accepted;
  return check;
}

}  // namespace trendolin
