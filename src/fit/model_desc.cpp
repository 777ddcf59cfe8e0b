// Filling a model descriptor: the catalogue entry of an id joined with views
// into that model's stored result.
#include "fit/model_desc.h"

#include <string>

#include "data/curve_fit.h"
#include "fit/fit_routines.h"
#include "fit/fit_state.h"
#include "fit/model_functions.h"
#include "platform/resource_strings.h"

namespace trendolin {
namespace {

constexpr std::size_t kNameMax = 29;
constexpr int kNameBase = 1000;

datatype EvaluateStoredCoefficients(const ModelDesc& desc, datatype x) {
  return desc.modelFunction(desc.coefficients, x);
}

std::string NameOf(int id) {
  if (id == kPolynomialModel) {
    if (PolynomialDegree == 3) return "3rd degree Polynomial Fit";
    std::string format(platform::ResourceString(kNameBase + id));
    return platform::FormatResource(format, {std::to_string(PolynomialDegree)}).substr(0, kNameMax);
  }
  return std::string(platform::ResourceString(kNameBase + id).substr(0, kNameMax));
}

void ViewRegressionSlot(CurveFit& doc, ModelDesc& desc) {
  FitResult& slot = doc.Slot(desc.id);
  desc.statistics = slot.statistics.empty() ? nullptr : slot.statistics.data();
  desc.iterationCount = slot.iterationCount;
  desc.chiSquareHistory = slot.chiSquareHistory.empty() ? nullptr : slot.chiSquareHistory.data();
  desc.covariance = slot.covariance.empty() ? nullptr : slot.covariance.data();
  desc.coefficients = slot.coefficients.empty() ? nullptr : slot.coefficients.data();
  desc.coefficientsLocation = &slot.coefficients;
  desc.chiSquareHistoryLocation = &slot.chiSquareHistory;
  desc.parameterHistoriesLocation = &slot.parameterHistories;
  desc.iterationCountLocation = &slot.iterationCount;
}

void ViewUserModel(ModelDesc& desc) {
  UserFitResult& user = UserModel;
  desc.statistics = user.statistics.data();
  desc.iterationCount = user.iterationCount;
  desc.chiSquareHistory = user.chiSquareHistory.empty() ? nullptr : user.chiSquareHistory.data();
  desc.covariance = user.covariance.empty() ? nullptr : user.covariance.data();
  desc.coefficients = user.coefficients.empty() ? nullptr : user.coefficients.data();
  desc.coefficientsLocation = &user.coefficients;
  desc.chiSquareHistoryLocation = &user.chiSquareHistory;
  desc.parameterHistoriesLocation = &user.parameterHistories;
  desc.iterationCountLocation = &user.iterationCount;
}

void ViewInterpolation(CurveFit& doc, ModelDesc& desc) {
  if (desc.id < kFirstInterpolation || desc.id > kLastInterpolation) return;  // 503 has no arrays
  InterpResult& record = doc.Interp(desc.id);
  desc.coefficients = record.arrays[0].empty() ? nullptr : record.arrays[0].data();
  desc.coefficientsLocation = &record.arrays[0];
}

}  // namespace

void FillModelDesc(CurveFit& doc, ModelDesc& desc) {
  const int requested = desc.id;
  desc = ModelDesc{};
  desc.id = requested < 0 ? -requested : requested;
  desc.doc = &doc;

  if (const CatalogueEntry* entry = CatalogueEntryOf(desc.id)) {
    desc.name = NameOf(desc.id);
    desc.kind = entry->kind;
    desc.classMask = entry->classMask;
    desc.m = entry->m;
    if (desc.id == kPolynomialModel) desc.m = PolynomialDegree + 1;
    if (desc.id == 534) desc.m = doc.nPoints;
    if (desc.id == kUserModel) desc.m = UserModel.count;
    desc.fitRoutine = FitRoutineOf(desc.id);
    desc.evaluate = EvaluateRoutineOf(desc.id);
    if (desc.kind == FIT_NONLINEAR) {
      desc.modelFunction = desc.id == kUserModel ? UserModelFunction : ModelFunctionOf(desc.id);
      desc.initialGuess = desc.id == kUserModel ? UserModelGuess : InitialGuessOf(desc.id);
      if (!desc.evaluate) desc.evaluate = EvaluateStoredCoefficients;
    } else if (desc.kind == FIT_LINEAR) {
      desc.modelFunction = LinearModelFunctionOf(desc.id);
    }
    if (desc.kind == FIT_LINEAR || desc.kind == FIT_NONLINEAR) {
      if (desc.classMask == CLASS_USER) {
        ViewUserModel(desc);
      } else {
        ViewRegressionSlot(doc, desc);
      }
    } else if (desc.kind == FIT_INTERPOLATION) {
      ViewInterpolation(doc, desc);
    }
  } else {
    desc.kind = FIT_NONE;
    desc.classMask = CLASS_NONE;
  }

  if (requested < 0 && desc.kind != FIT_NONE) {
    // The initial-guess test view: the model drawn with the dialog's test
    // coefficients, and nothing of a stored result.
    desc.id = requested;
    desc.coefficients = TestCoefficients.data();
    desc.statistics = nullptr;
    desc.covariance = nullptr;
    desc.coefficientsLocation = nullptr;
    desc.kind = FIT_INTERPOLATION;
    desc.classMask = CLASS_INTERPOLATION;
    desc.fitRoutine = PlotOnlyFit;
  }
}

ModelDesc DescriptorOf(CurveFit& doc, int id) {
  ModelDesc desc;
  desc.id = id;
  FillModelDesc(doc, desc);
  return desc;
}

std::string ModelName(CurveFit& doc, int id) { return DescriptorOf(doc, id).name; }

}  // namespace trendolin
