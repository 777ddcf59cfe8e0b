// The formulas of the built-in nonlinear models 504..533, y = f(a, b, c, d; x).
#include "fit/model_functions.h"

#include <array>
#include <cmath>

#include "precision/math_guard.h"

namespace trendolin {
namespace {

// How every formula below computes:
// - Arithmetic runs in double from the float coefficients and x; the result
//   is rounded to datatype once, at the end.
// - Each value a library routine produces (exp(b*x), x^b, b^x, ln(x),
//   cos(c*x+d) ...) is rounded to datatype before it is combined with anything
//   else; these are the rounding points the reported figures depend on. Plain
//   products and quotients of the inputs (b*x, 1/x, x*x) are not rounded:
//   they stay in double until the next library call or the result.
// - Library routines go through the guarded wrappers, so ln of a
//   non-positive x, a power outside its domain or an exp that overflows
//   raise errnotify naming the routine.
// - A plain division by zero, or a result too large for a float, is not
//   tested here: it only sets the floating-point status flags, and whoever
//   runs the model (the solver, the statistics, the renderer) calls
//   CheckFpFaults after its piece of work. The solver calls these millions
//   of times, so they stay short and free of branches.

using Real = double;

datatype Round(Real v) { return static_cast<datatype>(v); }
datatype Exp(Real v) { return Round(guarded::exp(v)); }
datatype Ln(Real v) { return Round(guarded::log(v)); }
datatype Pow(Real base, Real exponent) { return Round(guarded::pow(base, exponent)); }

// 504: a*exp(b*x)
datatype Exponential(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real e = Exp(b * x);
  return Round(a * e);
}

// 505: a*exp(b/x)
datatype ModifiedExponential(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real e = Exp(b / x);
  return Round(a * e);
}

// 506: a+b*ln(x)
datatype Logarithm(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real l = Ln(x);
  return Round(a + b * l);
}

// 507: 1/(a+b*ln(x))
datatype ReciprocalLog(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real l = Ln(x);
  return Round(1.0 / (a + b * l));
}

// 508: exp(a+b/x+c*ln(x))
datatype VaporPressure(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real l = Ln(x);
  return Exp(a + b / x + c * l);
}

// 509: a*x^b
datatype Power(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real w = Pow(x, b);
  return Round(a * w);
}

// 510: a*b^x
datatype ModifiedPower(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real w = Pow(b, x);
  return Round(a * w);
}

// 511: a*(x-b)^c
datatype ShiftedPower(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real w = Pow(x - b, c);
  return Round(a * w);
}

// 512: a*x^(b*x)
datatype Geometric(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real w = Pow(x, b * x);
  return Round(a * w);
}

// 513: a*x^(b/x)
datatype ModifiedGeometric(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real w = Pow(x, b / x);
  return Round(a * w);
}

// 514: a*b^(1/x) (two coefficients, although the menu prompt shows only a)
datatype Root(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real w = Pow(b, 1.0 / x);
  return Round(a * w);
}

// 515: a*b^x*x^c
datatype Hoerl(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real u = Pow(b, x);
  const Real v = Pow(x, c);
  return Round(a * u * v);
}

// 516: a*b^(1/x)*x^c
datatype ModifiedHoerl(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real u = Pow(b, 1.0 / x);
  const Real v = Pow(x, c);
  return Round(a * u * v);
}

// 517: 1/(a*x+b)
datatype Reciprocal(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  return Round(1.0 / (a * x + b));
}

// 518: 1/(a+b*x+c*x^2)
datatype ReciprocalQuadratic(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real xd = x;
  return Round(1.0 / (a + b * xd + c * xd * xd));
}

// 519: (a+b*x)^(-1/c)
datatype Bleasdale(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  return Pow(a + b * x, -1.0 / c);
}

// 520: 1/(a+b*x^c)
datatype Harris(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real w = Pow(x, c);
  return Round(1.0 / (a + b * w));
}

// 521: a*exp(-exp(b-c*x))
datatype Gompertz(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real inner = Exp(b - c * x);
  const Real outer = Exp(-inner);
  return Round(a * outer);
}

// 522: a/(1+b*exp(-c*x))
datatype Logistic(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real e = Exp(-c * x);
  return Round(a / (1.0 + b * e));
}

// 523: a-b*exp(-c*x^d)
datatype Weibull(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2], d = p[3];
  const Real w = Pow(x, d);
  const Real e = Exp(-c * w);
  return Round(a - b * e);
}

// 524: (a*b+c*x^d)/(b+x^d)
datatype Mmf(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2], d = p[3];
  const Real w = Pow(x, d);
  return Round((a * b + c * w) / (b + w));
}

// 525: a/(1+exp(b-c*x))^(1/d)
datatype Richards(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2], d = p[3];
  const Real e = Exp(b - c * x);
  const Real w = Pow(1.0 + e, 1.0 / d);
  return Round(a / w);
}

// 526: a*x/(x+b)
datatype SaturationGrowth(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real xd = x;
  return Round(a * xd / (xd + b));
}

// 527: a*(1-exp(-b*x))
datatype ExponentialAssociation2(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  const Real e = Exp(-b * x);
  return Round(a * (1.0 - e));
}

// 528: a*(b-exp(-c*x))
datatype ExponentialAssociation3(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real e = Exp(-c * x);
  return Round(a * (b - e));
}

// 529: a+b*cos(c*x+d). The cosine has no domain to guard: an infinite
// argument gives a quiet not-a-number.
datatype Sinusoidal(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2], d = p[3];
  const Real k = Round(std::cos(c * x + d));
  return Round(a + b * k);
}

// 530: a*exp(-0.5*(x-b)^2/c/c)
datatype Gaussian(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real dx = x - b;
  const Real e = Exp(-0.5 * dx * dx / c / c);
  return Round(a * e);
}

// 531: a+b/x
datatype Hyperbolic(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1];
  return Round(a + b / x);
}

// 532: a+b*x+c/x/x
datatype HeatCapacity(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2];
  const Real xd = x;
  return Round(a + b * xd + c / xd / xd);
}

// 533: (a+b*x)/(1+c*x+d*x*x)
datatype Rational(const datatype* p, datatype x) {
  const Real a = p[0], b = p[1], c = p[2], d = p[3];
  const Real xd = x;
  return Round((a + b * xd) / (1.0 + c * xd + d * xd * xd));
}

// Indexed by id - 504.
constexpr std::array<ModelFunction, kLastNonlinearModel - kFirstNonlinearModel + 1> kModelFunctions = {
    Exponential,                // 504
    ModifiedExponential,        // 505
    Logarithm,                  // 506
    ReciprocalLog,              // 507
    VaporPressure,              // 508
    Power,                      // 509
    ModifiedPower,              // 510
    ShiftedPower,               // 511
    Geometric,                  // 512
    ModifiedGeometric,          // 513
    Root,                       // 514
    Hoerl,                      // 515
    ModifiedHoerl,              // 516
    Reciprocal,                 // 517
    ReciprocalQuadratic,        // 518
    Bleasdale,                  // 519
    Harris,                     // 520
    Gompertz,                   // 521
    Logistic,                   // 522
    Weibull,                    // 523
    Mmf,                        // 524
    Richards,                   // 525
    SaturationGrowth,           // 526
    ExponentialAssociation2,    // 527
    ExponentialAssociation3,    // 528
    Sinusoidal,                 // 529
    Gaussian,                   // 530
    Hyperbolic,                 // 531
    HeatCapacity,               // 532
    Rational,                   // 533
};

}  // namespace

ModelFunction ModelFunctionOf(int id) {
  if (id < kFirstNonlinearModel || id > kLastNonlinearModel) return nullptr;
  return kModelFunctions[static_cast<std::size_t>(id - kFirstNonlinearModel)];
}

}  // namespace trendolin
