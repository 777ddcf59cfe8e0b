// The FitHunter search and the ranking of fitted models by their score.
#include "session/fit_hunter.h"
#include "session/fit_routine_table.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "app/run_flags.h"
#include "data/document_hooks.h"
#include "session/drivers.h"
#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "session/graph_queue.h"
#include "platform/debug_log.h"
#include "precision/errors.h"
#include "precision/rounding.h"
#include "session/session.h"

namespace trendolin {


namespace {

constexpr int kLowestSearchDegree = 3;
constexpr datatype kNoScore = kDatatypeMax;

bool IsRegressionKind(int kind) { return kind == FIT_LINEAR || kind == FIT_NONLINEAR; }

// The score of a stored fit, or nothing when it has no coefficients or
// statistics to score.
std::optional<datatype> ScoreOf(CurveFit& doc, int id) {
  const ModelDesc desc = DescriptorOf(doc, id);
  if (desc.coefficients == nullptr || desc.statistics == nullptr) return std::nullopt;
  return FitScore(desc.statistics[0], desc.statistics[1]);
}

// One fit of the search. A failed fit is skipped without a word (the
// unattended flag silences its report); only an abort (errnotify 15)
// leaves the search. A fault that a driver lets through after its fit (the
// statistics of constant y, say) and memory that runs out end just this
// fit.
int RunSearchFit(CurveFit& doc, int id) {
  const FitRoutine fit = FitRoutineOf(id);
  if (fit == nullptr) return 1;
  try {
    return fit(doc, id);
  } catch (const errnotify&) {
    if (ErrorInfo.id == kErrStoppedInSearch) throw;
    doc.MarkFitted(id, 0);
    return 1;
  } catch (const std::bad_alloc&) {
    return 1;
  }
}

// Every degree 3..maxDegree; the best of them (the lowest on ties) is
// fitted once more so that it is what the slot holds. 0 when a degree was
// kept; 1 (and the remembered degree back) when none could be fitted.
int SearchPolynomials(CurveFit& doc, int maxDegree, int rememberedDegree) {
  datatype bestScore = kNoScore;
  int bestDegree = 0;
  for (int degree = kLowestSearchDegree; degree <= maxDegree; ++degree) {
    CurrentEngine().polynomialDegree = degree;
    if (RunSearchFit(doc, kPolynomialModel) != 0) continue;
    const std::optional<datatype> score = ScoreOf(doc, kPolynomialModel);
    if (score && *score < bestScore) {
      bestScore = *score;
      bestDegree = degree;
    }
  }
  if (bestDegree == 0) {
    CurrentEngine().polynomialDegree = rememberedDegree;
    return 1;
  }
  CurrentEngine().polynomialDegree = bestDegree;
  return RunSearchFit(doc, kPolynomialModel);
}

struct SearchBest {
  int id = -1;
  datatype score = kNoScore;
  int count = 0;
};

void SearchModels(CurveFit& doc, int maxDegree, int classMask, int rememberedDegree, SearchBest& best) {
  for (int id = kFirstModelId; id < kFirstModelId + kModelCount; ++id) {
    const CatalogueEntry* entry = CatalogueEntryOf(id);
    if (!CurrentSession().availability.ModelEnabled(id) || entry == nullptr || !IsRegressionKind(entry->kind)) continue;
    int result = 1;
    if (id == kPolynomialModel) {
      if (classMask & CLASS_POLYNOMIAL) result = SearchPolynomials(doc, maxDegree, rememberedDegree);
    } else if (entry->classMask & classMask) {
      result = RunSearchFit(doc, id);
    }
    DebugLogF("Result of Fit = %d\n", result);
    if (result != 0) continue;
    const std::optional<datatype> score = ScoreOf(doc, id);
    if (!score) continue;
    ++best.count;
    if (*score < best.score) {
      best.score = *score;
      best.id = id;
    }
  }
}

}  // namespace

datatype FitScore(datatype standardError, datatype correlation) {
  // Above 1 is as suspicious as below 0: both count as no correlation.
  const datatype r = (correlation < 0 || correlation > 1) ? 0.0f : correlation;
  const double s = standardError;
  const double gap = 1.0 - static_cast<double>(r);
  return static_cast<datatype>(std::sqrt(4.0 * s * s + gap * gap));
}

std::vector<RankingEntry> RankFittedModels(CurveFit& doc) {
  std::vector<RankingEntry> entries;
  for (int id = kFirstModelId; id < kFirstModelId + kModelCount; ++id) {
    if (!doc.IsFitted(id, -1)) continue;
    const ModelDesc desc = DescriptorOf(doc, id);
    if (desc.kind == FIT_INTERPOLATION || desc.statistics == nullptr) continue;
    entries.push_back({id, FitScore(desc.statistics[0], desc.statistics[1]), 0});
  }
  // Ascending id already: a stable sort keeps equal scores in that order.
  std::stable_sort(entries.begin(), entries.end(), [](const RankingEntry& a, const RankingEntry& b) {
    if (std::isnan(a.score) || std::isnan(b.score)) return !std::isnan(a.score) && std::isnan(b.score);
    return a.score < b.score;
  });
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i].rank = static_cast<int>(i) + 1;
  return entries;
}

std::string RankingName(int id) { return ModelLongName(id); }

std::string RankingLine(const RankingEntry& entry) {
  return std::to_string(entry.rank) + "\t" + RankingName(entry.modelId);
}

std::vector<std::string> RankingList::Lines() const {
  std::vector<std::string> lines;
  for (const RankingEntry& entry : entries) lines.push_back(RankingLine(entry));
  return lines;
}

void RebuildRankingList(CurveFit& doc) {
  CurrentSession().ranking.entries = RankFittedModels(doc);
  CallHook(Hooks().resultsListChanged);
}

void ClearRankingList() {
  CurrentSession().ranking.entries.clear();
  CallHook(Hooks().resultsListChanged);
}

int FitHunterSearch(CurveFit& doc, int maxDegree, int classMask) {
  const int rememberedDegree = CurrentEngine().polynomialDegree;
  SearchBest best;
  CurrentEngine().unattended = 1;
  try {
    CurrentSession().graphQueue.RemoveByClassMask(classMask);
    SearchModels(doc, maxDegree, classMask, rememberedDegree, best);
  } catch (const errnotify&) {
    DebugLog("Exiting Finder routine on except.\n");
    CurrentEngine().polynomialDegree = rememberedDegree;
    CurrentEngine().unattended = 0;
    throw;
  }
  if (best.count == 0) {
    CurrentEngine().unattended = 0;
    return -1;
  }
  if (best.id == kPolynomialModel) CurrentSession().modelDialogs.polynomial = 0;  // the degree is already the best one
  if (best.id == kUserModel) CurrentSession().modelDialogs.userModel = 0;
  CurrentEngine().unattended = 0;
  DebugLog("Exiting Finder routine normally.\n");
  return best.id;
}

}  // namespace trendolin
