// The fit routines of the five interpolations (534..538): their point
// limits and messages, the build, and the stored result.
#pragma once

#include "fit/fit_types.h"

namespace trendolin {

// A spline takes fewer than this many points (larger data sets are refused
// with the message pair 12/13); the quadratic spline at most 100 (62/61).
inline constexpr int kSplinePointLimit = 16375;
inline constexpr int kQuadraticSplineMaxPoints = 100;

// The fit routines of the catalogue. Each resets the model's record for the
// current points, builds the interpolation and stores it with its comment
// and fitted flag: 0 then. 1 when nothing was stored: too many points (told
// unless unattended), fewer than two points (silent; the fit commands are
// disabled then anyway), a user stop (silent), or a reported fault, after
// which the record is released. An abort during a batch raises errnotify
// with error 15. The polynomial interpolation takes at most MaxPolyDegree
// + 1 points (error 12 reported otherwise) and records n - 1 as its degree
// in doc.modelIntegers[34].
int LagrangeInterpolate(CurveFit& doc, int id);
int LSplineFit(CurveFit& doc, int id);
int QSplineFit(CurveFit& doc, int id);
int SplineFit(CurveFit& doc, int id);
int TSplineFit(CurveFit& doc, int id);

// The tension of the tension spline: the parameter of its record (1 after
// a document reset), read when it is built and whenever it is evaluated.
datatype CurrentTension(const CurveFit& doc);

// A new tension from the tension dialog: stored, and the tension spline's
// fit stops being current so that its next command builds it again.
void ApplyTension(CurveFit& doc, datatype tension);

}  // namespace trendolin
