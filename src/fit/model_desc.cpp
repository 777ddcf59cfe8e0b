// Filling a model descriptor: the catalogue entry of an id joined with views
// into that model's stored result.
#include "fit/model_desc.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "data/curve_fit.h"
#include "fit/engine_state.h"
#include "fit/fit_routines.h"
#include "fit/model_functions.h"
#include "platform/resource_strings.h"
#include "usermodel/user_model.h"

namespace trendolin {
namespace {

constexpr std::size_t kNameMax = 29;
constexpr int kNameBase = 1000;

datatype EvaluateStoredCoefficients(const ModelDesc& desc, datatype x) {
  return desc.modelFunction(desc.coefficients, x);
}

std::string NameOf(int id) {
  if (id == kPolynomialModel) {
    if (CurrentEngine().polynomialDegree == 3) return "3rd degree Polynomial Fit";
    std::string format(platform::ResourceString(kNameBase + id));
    return platform::FormatResource(format, {std::to_string(CurrentEngine().polynomialDegree)}).substr(0, kNameMax);
  }
  return std::string(platform::ResourceString(kNameBase + id).substr(0, kNameMax));
}

template <class Array>
datatype* DataOrNull(Array& values) {
  return values.empty() ? nullptr : values.data();
}

// The views into a regression slot or the user model's record: both keep
// the same arrays under the same names.
template <class Record>
void ViewRecord(Record& record, ModelDesc& desc) {
  desc.statistics = DataOrNull(record.statistics);
  desc.iterationCount = record.iterationCount;
  desc.chiSquareHistory = DataOrNull(record.chiSquareHistory);
  desc.covariance = DataOrNull(record.covariance);
  desc.coefficients = DataOrNull(record.coefficients);
  desc.coefficientsLocation = &record.coefficients;
  desc.chiSquareHistoryLocation = &record.chiSquareHistory;
  desc.parameterHistoriesLocation = &record.parameterHistories;
  desc.iterationCountLocation = &record.iterationCount;
}

void ViewInterpolation(CurveFit& doc, ModelDesc& desc) {
  if (desc.id < kFirstInterpolation || desc.id > kLastInterpolation) return;  // 503 has no arrays
  InterpResult& record = doc.Interp(desc.id);
  desc.coefficients = DataOrNull(record.arrays[0]);
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
    if (desc.id == kPolynomialModel) desc.m = CurrentEngine().polynomialDegree + 1;
    if (desc.id == kLagrangeModel) desc.m = doc.nPoints;
    if (desc.id == kUserModel) desc.m = CurrentEngine().userModel.count;
    desc.evaluate = EvaluateRoutineOf(desc.id);
    if (desc.kind == FIT_NONLINEAR) {
      if (desc.id == kUserModel) {
        // The user model has routines once it has a formula.
        const bool formula = !CurrentEngine().userModel.formula.empty();
        desc.modelFunction = formula ? UserModelValue : nullptr;
        desc.initialGuess = formula ? UserModelGuesses : nullptr;
      } else {
        desc.modelFunction = ModelFunctionOf(desc.id);
        desc.initialGuess = InitialGuessOf(desc.id);
      }
      if (!desc.evaluate) desc.evaluate = EvaluateStoredCoefficients;
    } else if (desc.kind == FIT_LINEAR) {
      desc.modelFunction = LinearModelFunctionOf(desc.id);
    }
    if (desc.kind == FIT_LINEAR || desc.kind == FIT_NONLINEAR) {
      if (desc.classMask == CLASS_USER) {
        ViewRecord(CurrentEngine().userModel, desc);
      } else {
        ViewRecord(doc.Slot(desc.id), desc);
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
    desc.coefficients = CurrentEngine().testCoefficients.data();
    desc.statistics = nullptr;
    desc.covariance = nullptr;
    desc.coefficientsLocation = nullptr;
    desc.kind = FIT_INTERPOLATION;
    desc.classMask = CLASS_INTERPOLATION;
  }
}

ModelDesc DescriptorOf(CurveFit& doc, int id) {
  ModelDesc desc;
  desc.id = id;
  FillModelDesc(doc, desc);
  return desc;
}

std::string ModelName(CurveFit& doc, int id) { return DescriptorOf(doc, id).name; }

int StoredCoefficientCount(const ModelDesc& desc) {
  if (!desc.coefficients || desc.m <= 0) return 0;
  if (desc.id < kFirstInterpolation || desc.id > kLastInterpolation) return desc.m;
  if (desc.id != kFirstInterpolation || desc.doc == nullptr) return 0;
  return std::min(desc.m, desc.doc->Interp(desc.id).arrayLength);
}

bool CovarianceUsable(const datatype* covariance, int m) {
  if (covariance == nullptr) return false;
  for (int i = 0; i < m; ++i) {
    const double variance = covariance[i * m + i];
    if (!(variance > 0) || !std::isfinite(variance)) return false;
  }
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < i; ++j) {
      // A little above 1 is rounding of a float inverse.
      const double bound = std::sqrt(double{covariance[i * m + i]} * covariance[j * m + j]) * 1.001;
      if (!(std::fabs(double{covariance[i * m + j]}) <= bound)) return false;
    }
  }
  return true;
}

}  // namespace trendolin
