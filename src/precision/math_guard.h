// Guarded forms of the math-library routines numeric code uses. Each checks
// its argument and raises errnotify with identifier 5 (outside the domain),
// 6 (singularity) or 2 (overflow) and its own name, so the user reads which
// routine failed. A not-a-number argument passes through quietly.
#pragma once

#include <string_view>

namespace trendolin {

// The math-library error kinds, and the hook that turns one into errnotify:
// domain 5, singularity 6, overflow 2, underflow 3, loss of significance 4;
// FitId 0 and the routine name go into ErrorInfo.
enum class MathErrorKind { Domain, Singularity, Overflow, Underflow, PartialLoss, TotalLoss };
[[noreturn]] void RaiseMathError(std::string_view routine, MathErrorKind kind);

namespace guarded {

double log(double x);
double log10(double x);
double sqrt(double x);
double exp(double x);
double pow(double x, double y);
double asin(double x);
double acos(double x);
double atan2(double y, double x);
double sinh(double x);
double cosh(double x);
double tan(double x);
// Bessel functions of the first (j) and second (y) kind, orders 0 and 1.
double j0(double x);
double j1(double x);
double y0(double x);
double y1(double x);

}  // namespace guarded
}  // namespace trendolin
