// Initial guesses of the models that linearise: one least-squares fit of a
// transformed y on transformed x, then the coefficients mapped back.
#include "fit/initial_guesses.h"

#include "precision/math_guard.h"

namespace trendolin::guesses {
namespace {

// Library values a transformation names are rounded like every kept value.
datatype Ln(double v) { return Round(guarded::log(v)); }
datatype Log10(double v) { return Round(guarded::log10(v)); }
datatype Exp(double v) { return Round(guarded::exp(v)); }
datatype TenTo(double v) { return Round(guarded::pow(10.0, v)); }

datatype Inverse(datatype x) { return Round(1.0 / x); }

// LS of log10 y on (1, log10 x), shared by the power law and the shifted one.
std::array<datatype, 2> PowerFit(const CurveFit& doc) {
  return FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, Log10(x)}, Log10(y)};
  });
}

}  // namespace

void GuessExponential(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, x}, Ln(y)};
  });
  Deliver(guess, std::array{Exp(c[0]), c[1]});
}

void GuessModifiedExponential(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, Inverse(x)}, Ln(y)};
  });
  Deliver(guess, std::array{Exp(c[0]), c[1]});
}

void GuessVaporPressure(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<3>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<3>{{1.0f, Inverse(x), Ln(x)}, Ln(y)};
  });
  Deliver(guess, c);
}

void GuessPower(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = PowerFit(doc);
  Deliver(guess, std::array{TenTo(c[0]), c[1]});
}

void GuessModifiedPower(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, x}, Log10(y)};
  });
  Deliver(guess, std::array{TenTo(c[0]), TenTo(c[1])});
}

// The power law through the origin: the shift starts at 0.
void GuessShiftedPower(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = PowerFit(doc);
  Deliver(guess, std::array{TenTo(c[0]), 0.0f, c[1]});
}

void GuessGeometric(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, Round(double{x} * Ln(x))}, Ln(y)};
  });
  Deliver(guess, std::array{Exp(c[0]), c[1]});
}

void GuessModifiedGeometric(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, Round(double{Ln(x)} / x)}, Ln(y)};
  });
  Deliver(guess, std::array{Exp(c[0]), c[1]});
}

void GuessRoot(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, Inverse(x)}, Ln(y)};
  });
  Deliver(guess, std::array{Exp(c[0]), Exp(c[1])});
}

void GuessHoerl(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<3>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<3>{{1.0f, x, Ln(x)}, Ln(y)};
  });
  Deliver(guess, std::array{Exp(c[0]), Exp(c[1]), c[2]});
}

void GuessModifiedHoerl(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<3>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<3>{{1.0f, Inverse(x), Log10(x)}, Log10(y)};
  });
  Deliver(guess, std::array{TenTo(c[0]), TenTo(c[1]), c[2]});
}

// The basis order (x, 1) puts the slope first, as the formula 1/(a*x+b) does.
void GuessReciprocal(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{x, 1.0f}, Inverse(y)};
  });
  Deliver(guess, c);
}

void GuessReciprocalQuadratic(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<3>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<3>{{1.0f, x, Round(double{x} * x)}, Inverse(y)};
  });
  Deliver(guess, c);
}

// 1/y = 1/a + (b/a)*(1/x).
void GuessSaturationGrowth(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, Inverse(x)}, Inverse(y)};
  });
  const datatype a = Round(1.0 / c[0]);
  Deliver(guess, std::array{a, Round(double{a} * c[1])});
}

void GuessHyperbolic(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto c = FitLinearised<2>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<2>{{1.0f, Inverse(x)}, y};
  });
  Deliver(guess, c);
}

// ln y = q0 + q2*x^2 + q1*x is a parabola for bell-shaped data (q2 < 0): its
// top gives ln a = L, its curvature the variance v = c^2 and its vertex
// b = q1*v. A q2 of 0 divides by zero; a q2 > 0 makes v negative and the
// square root fails: the data are not bell-shaped.
void GuessGaussian(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const auto q = FitLinearised<3>(doc, [](datatype x, datatype y) {
    return LinearisedPoint<3>{{1.0f, Round(double{x} * x), x}, Ln(y)};
  });
  const double q0 = q[0], q2 = q[1], q1 = q[2];
  const datatype top = Round(q0 - q1 * q1 * 0.25 / q2);
  const datatype variance = Round((top - q0) * 2.0 / q1 / q1);
  Deliver(guess, std::array{Exp(top), Round(q1 * variance), Round(guarded::sqrt(variance))});
}

}  // namespace trendolin::guesses
