// Basic vocabulary of the fitting engine: model kinds, class bits, routine
// types and the sizes every part of it shares.
#pragma once

#include "precision/datatype.h"

namespace trendolin {

class CurveFit;
struct ModelDesc;

enum FitKind : int { FIT_LINEAR = 1, FIT_NONLINEAR = 2, FIT_INTERPOLATION = 3, FIT_NONE = 4 };

enum FitClass : int {
  CLASS_INTERPOLATION = 1,
  CLASS_LINEAR = 2,
  CLASS_MISC = 4,
  CLASS_EXPONENTIAL = 8,
  CLASS_SIGMOIDAL = 16,
  CLASS_GROWTH = 32,
  CLASS_POWER = 64,
  CLASS_POLYNOMIAL = 128,
  CLASS_USER = 256,
  CLASS_YIELD_DENSITY = 512,
  CLASS_NONE = 1024,
};

inline constexpr int kMaxParameters = 19;     // nonlinear parameters at most
inline constexpr int kGuessVectorSize = 26;
inline constexpr int kPolynomialSlotSize = 20; // degree 19 at most

// Model ids: the command numbers of the Fit and Interpolate menus, and the
// keys of the catalogue, the result slots and the resource strings.
inline constexpr int kLinearModel = 500;
inline constexpr int kQuadraticModel = 501;
inline constexpr int kPolynomialModel = 502;
inline constexpr int kPlotModel = 503;
inline constexpr int kFirstNonlinearModel = 504;  // 504..533: the built-in nonlinear models
inline constexpr int kLastNonlinearModel = 533;
inline constexpr int kLagrangeModel = 534;        // polynomial interpolation
inline constexpr int kLinearSplineModel = 535;
inline constexpr int kQuadraticSplineModel = 536;
inline constexpr int kCubicSplineModel = 537;
inline constexpr int kTensionSplineModel = 538;
inline constexpr int kUserModel = 539;
inline constexpr int kFirstInterpolation = kLagrangeModel;
inline constexpr int kLastInterpolation = kTensionSplineModel;
inline constexpr int kFirstCatalogueModel = kLinearModel;
inline constexpr int kLastCatalogueModel = kUserModel;

// y = f(coefficients a, b, c, ... ; x), rounded to datatype.
using ModelFunction = datatype (*)(const datatype* p, datatype x);
// y at x with the coefficients the model's result record holds.
using EvaluateFunction = datatype (*)(const ModelDesc& desc, datatype x);
// Writes the model's m automatic initial guesses from the data set.
using InitialGuessFunction = void (*)(const CurveFit& doc, datatype* guess);
// Fits the model to the data set: 0 a result was stored, 1 none.
using FitRoutine = int (*)(CurveFit& doc, int id);

}  // namespace trendolin
