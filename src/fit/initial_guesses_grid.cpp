// Initial guesses of the models with one parameter that cannot be linearised
// away: a small grid of that parameter, a linear fit for the others at each
// grid value, and the candidate with the best score.
#include "fit/initial_guesses.h"

#include <cmath>

#include "fit/derivatives.h"
#include "precision/math_guard.h"

namespace trendolin::guesses {
namespace {

datatype Ln(double v) { return Round(guarded::log(v)); }
datatype Exp(double v) { return Round(guarded::exp(v)); }
datatype Pow(double base, double exponent) { return Round(guarded::pow(base, exponent)); }

// A running sum kept in datatype: each term is added in double and the sum
// rounded back at once.
void Accumulate(datatype& sum, double term) { sum = Round(sum + term); }

// The rate grid of the logistic and Gompertz curves: t = exp(-c) from 0.025
// in steps of 0.05 while below 1 (20 values, the last 0.975 up to rounding),
// so c = 0 is never tried.
constexpr datatype kRateGridStart = 0.025f;
constexpr double kRateGridStep = 0.05;

// Points whose x or y is below 2^-124 in magnitude take no part in the
// logistic and Gompertz systems (their scores still run over every point).
constexpr double kTinyValue = 4.7019774e-38;
bool Usable(datatype x, datatype y) { return std::fabs(x) >= kTinyValue && std::fabs(y) >= kTinyValue; }

// Solves the 2 x 2 system (p, q | r), (s, u | v) without pivoting.
std::array<datatype, 2> Solve2(datatype p, datatype q, datatype r, datatype s, datatype u, datatype v) {
  std::array<datatype, 6> system = {p, q, r, s, u, v};
  SolveAugmented(system.data(), 2, 0);
  return {system[0], system[1]};
}

// Sums of the least-squares fit 1 = u*y + v*y*z over the points, for a
// transform z of each point; the logistic, Bleasdale and Harris searches
// share its shape (with y and z in different roles).
struct UnitFitSums {
  datatype yy = 0, yyz = 0, y = 0, yyzz = 0, yz = 0;
  void Add(double yValue, double z) {
    Accumulate(yy, yValue * yValue);
    Accumulate(yyz, yValue * yValue * z);
    Accumulate(y, yValue);
    Accumulate(yyzz, yValue * yValue * z * z);
    Accumulate(yz, yValue * z);
  }
  std::array<datatype, 2> Solve() const { return Solve2(yy, yyz, y, yyz, yyzz, yz); }
};

datatype PointCount(const CurveFit& doc) { return static_cast<datatype>(doc.nPoints); }

// Newton's target for the Richards curve: the mean y taken as the height of
// the inflection point, ybar = A*(d + 1)^(-1/d).
struct RichardsInflection {
  datatype height;  // A
  datatype ybar;
};

datatype RichardsInflectionGap(const void* data, datatype d) {
  const auto& r = *static_cast<const RichardsInflection*>(data);
  const double w = Pow(double{d} + 1.0, -1.0 / d);
  return Round(r.ybar - r.height * w);
}

// Sum over all points of (y - A*(1 + exp(b - c*x))^(-1/d))^2.
datatype RichardsScore(const CurveFit& doc, double a, double b, double c, double d) {
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  datatype score = 0;
  for (int i = 0; i < doc.nPoints; ++i) {
    const double e = Exp(b - c * x[i]);
    const double w = Pow(1.0 + e, -1.0 / d);
    const double r = y[i] - a * w;
    Accumulate(score, r * r);
  }
  return score;
}

}  // namespace

// 1/y = (1 + b*t^x)/a with t = exp(-c): least squares of 1 = u*y + v*y*t^x,
// a = 1/u, b = v/u. Score: |n - u*sum y - v*sum y*t^x|.
void GuessLogistic(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  const double n = PointCount(doc);
  datatype sumY = 0;
  for (int i = 0; i < doc.nPoints; ++i) Accumulate(sumY, y[i]);
  BestCandidate<3> best;
  for (datatype t = kRateGridStart; t < 1.0f; t = Round(t + kRateGridStep)) {
    UnitFitSums sums;
    datatype sumYE = 0;  // over every point
    for (int i = 0; i < doc.nPoints; ++i) {
      const datatype e = Pow(t, x[i]);
      Accumulate(sumYE, double{y[i]} * e);
      if (Usable(x[i], y[i])) sums.Add(y[i], e);
    }
    const auto [u, v] = sums.Solve();
    const datatype score = Round(std::fabs(n - double{u} * sumY - double{v} * sumYE));
    if (!best.Beaten(score)) continue;
    const datatype a = Round(1.0 / u);
    best.Take(score, {a, Round(double{v} * a), -Ln(t)});
  }
  best.Deliver(guess);
}

// ln y = A - B*t^x with t = exp(-c), B = exp(b): least squares of ln y on
// (1, -t^x) over the usable points. Score: sum over all points of
// (ln y - A + B*t^x)^2.
void GuessGompertz(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  BestCandidate<3> best;
  for (datatype t = kRateGridStart; t < 1.0f; t = Round(t + kRateGridStep)) {
    datatype count = 0, sumE = 0, sumEE = 0, sumLn = 0, sumELn = 0;
    for (int i = 0; i < doc.nPoints; ++i) {
      if (!Usable(x[i], y[i])) continue;
      const double e = Pow(t, x[i]);
      const double lnY = Ln(y[i]);
      Accumulate(count, 1.0);
      Accumulate(sumE, e);
      Accumulate(sumEE, e * e);
      Accumulate(sumLn, lnY);
      Accumulate(sumELn, e * lnY);
    }
    const auto [level, depth] = Solve2(count, -sumE, sumLn, sumE, -sumEE, sumELn);
    datatype score = 0;
    for (int i = 0; i < doc.nPoints; ++i) {
      const double r = Ln(y[i]) - double{level} + double{depth} * Pow(t, x[i]);
      Accumulate(score, r * r);
    }
    if (!best.Beaten(score)) continue;
    best.Take(score, {Exp(level), Ln(depth), -Ln(t)});
  }
  best.Deliver(guess);
}

// For heights A from ymax down in steps of a tenth of the y range (while
// above ymax - 0.2*range): d from the inflection height by Newton's method,
// b from the smallest y taken as the curve's start, c from the mean x taken
// as the inflection's abscissa. All y equal: no height is tried.
void GuessRichards(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype ymax = doc.fMax[1];
  const datatype ymin = doc.fMin[1];
  const datatype range = Round(double{ymax} - ymin);
  const datatype lower = Round(ymax - 0.2 * range);
  const datatype step = Round(0.1 * range);
  BestCandidate<4> best;
  for (datatype height = ymax; height > lower; height = Round(double{height} - step)) {
    const RichardsInflection target{height, doc.fMean[1]};
    const datatype d = NewtonRoot(RichardsInflectionGap, &target, 1.0f);
    const datatype rise = Pow(double{height} / ymin, d);
    const datatype b = Ln(double{rise} - 1.0);
    const datatype c = Round((double{b} - Ln(d)) / doc.fMean[0]);
    const datatype score = RichardsScore(doc, height, b, c, d);
    if (best.Beaten(score)) best.Take(score, {height, b, c, d});
  }
  best.Deliver(guess);
}

// y = A - B*exp(-c*x^d) gives ln(-ln((A - y)/B)) = ln c + d*ln x. A is fixed
// just above the largest y; B = A - f*ymin for f = 0.2, 0.4, 0.6, 0.8.
void GuessWeibull(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  const datatype height = Round(1.1 * doc.fMax[1]);
  BestCandidate<4> best;
  for (datatype f = 0.2f; f < 0.9; f = Round(f + 0.2)) {
    const datatype depth = Round(height - double{f} * doc.fMin[1]);
    const auto q = FitLinearised<2>(doc, [height, depth](datatype xi, datatype yi) {
      const datatype fraction = Round((double{height} - yi) / depth);
      const datatype inner = Ln(fraction);
      return LinearisedPoint<2>{{1.0f, Ln(xi)}, Ln(-double{inner})};
    });
    const datatype c = Exp(q[0]);
    const datatype d = q[1];
    datatype score = 0;
    for (int i = 0; i < doc.nPoints; ++i) {
      const double w = Pow(x[i], d);
      const double e = Exp(-double{c} * w);
      const double r = y[i] - double{height} + double{depth} * e;
      Accumulate(score, r * r);
    }
    if (best.Beaten(score)) best.Take(score, {height, depth, c, d});
  }
  best.Deliver(guess);
}

// For angular frequencies w0, 2*w0, ... 32*w0, where w0 puts a quarter period
// over the x range: least squares of y on (1, cos wx, sin wx) gives A, P, Q,
// and P*cos(wx) + Q*sin(wx) = R*cos(wx + d) with R = sqrt(P^2 + Q^2),
// d = atan(-Q/P). All x equal divides by zero.
void GuessSinusoidal(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  const datatype w0 = Round(1.5707963267948966 / (double{doc.fMax[0]} - doc.fMin[0]));
  const double limit = 36.0 * w0;
  BestCandidate<4> best;
  for (datatype w = w0; w < limit; w = w * 2.0f) {
    const auto q = FitLinearised<3>(doc, [w](datatype xi, datatype yi) {
      const double angle = double{w} * xi;
      return LinearisedPoint<3>{{1.0f, Round(std::cos(angle)), Round(std::sin(angle))}, yi};
    });
    const double level = q[0], p = q[1], s = q[2];
    const datatype amplitude = Round(guarded::sqrt(s * s + p * p));
    const datatype phase = Round(std::atan(-s / p));
    datatype score = 0;
    for (int i = 0; i < doc.nPoints; ++i) {
      const double k = Round(std::cos(phase + double{w} * x[i]));
      const double r = y[i] - level - double{amplitude} * k;
      Accumulate(score, r * r);
    }
    if (best.Beaten(score)) best.Take(score, {q[0], amplitude, w, phase});
  }
  best.Deliver(guess);
}

// y^(-c) = a + b*x: least squares of 1 = a*Y + b*Y*x with Y = y^c for
// c = 0.025, 0.05, 0.1, ... 3.2 (doubling while below 5). Score:
// |n - a*sum Y - b*sum Y*x| / c / c.
void GuessBleasdale(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  const double n = PointCount(doc);
  BestCandidate<3> best;
  for (datatype c = 0.025f; c < 5.0f; c = c * 2.0f) {
    UnitFitSums sums;
    for (int i = 0; i < doc.nPoints; ++i) sums.Add(Pow(y[i], c), x[i]);
    const auto [a, b] = sums.Solve();
    const datatype score = Round(std::fabs(n - double{a} * sums.y - double{b} * sums.yz) / c / c);
    if (best.Beaten(score)) best.Take(score, {a, b, c});
  }
  best.Deliver(guess);
}

// 1/y = a + b*X with X = x^c: least squares of 1 = a*y + b*y*X for
// c = 0.05, 0.10, ... 0.95. Score: |n - a*sum y - b*sum y*X|.
void GuessHarris(const CurveFit& doc, datatype* guess) {
  ClearFpFaults();
  const datatype* x = XValues(doc);
  const datatype* y = YValues(doc);
  const double n = PointCount(doc);
  BestCandidate<3> best;
  for (datatype c = 0.05f; c < 1.0f; c = Round(c + 0.05)) {
    UnitFitSums sums;
    for (int i = 0; i < doc.nPoints; ++i) sums.Add(y[i], Pow(x[i], c));
    const auto [a, b] = sums.Solve();
    const datatype score = Round(std::fabs(n - double{a} * sums.y - double{b} * sums.yz));
    if (best.Beaten(score)) best.Take(score, {a, b, c});
  }
  best.Deliver(guess);
}

}  // namespace trendolin::guesses
