// The interpolating polynomial as the sum of y(i) times the Lagrange basis
// polynomials, each the product of the linear factors (x - x(j)) / (x(i) - x(j)).
#include "fit/lagrange.h"

#include <algorithm>
#include <vector>

#include "fit/splines_construction.h"

namespace trendolin {
namespace {

using Index = std::vector<datatype>::size_type;

// row (ascending powers, `degree` its current degree) times the factor
// scale * x - shift, through the scratch row.
void MultiplyByFactor(datatype* row, datatype* scratch, int degree, datatype scale, datatype shift) {
  scratch[0] = RoundExtended(-static_cast<double>(shift) * row[0]);
  for (int p = 1; p <= degree; ++p) {
    scratch[p] = RoundExtended(static_cast<double>(scale) * row[p - 1] - static_cast<double>(shift) * row[p]);
  }
  scratch[degree + 1] = RoundExtended(static_cast<double>(scale) * row[degree]);
  std::copy(scratch, scratch + degree + 2, row);
}

// Basis polynomial i into its row of `basis`; polls after every j.
int BuildBasis(NonlinearProblem& problem, int i, datatype* row, datatype* scratch) {
  const int n = problem.nPoints;
  const datatype* x = problem.x;
  std::fill(row, row + n, 0.0f);
  row[0] = 1;
  int degree = 0;
  for (int j = 0; j < n; ++j) {
    if (j != i) {
      const datatype d = RoundExtended(static_cast<double>(x[i]) - x[j]);
      const datatype scale = RoundExtended(1.0 / d);
      const datatype shift = RoundExtended(x[j] / static_cast<double>(d));
      MultiplyByFactor(row, scratch, degree, scale, shift);
      ++degree;
    }
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
  }
  return 0;
}

}  // namespace

int LagrangeInterpolation(NonlinearProblem& problem, datatype* coefficients) {
  return RunConstruction(problem, "LagrangeInterpolation_1", [&]() -> int {
    const int n = problem.nPoints;
    const auto size = static_cast<Index>(n);
    std::vector<datatype> basis(size * size), scratch(size * size);
    std::fill(coefficients, coefficients + n, 0.0f);
    for (int i = 0; i < n; ++i) {
      datatype* row = basis.data() + static_cast<Index>(i) * size;
      const int answer = BuildBasis(problem, i, row, scratch.data() + static_cast<Index>(i) * size);
      if (answer != 0) return answer;
    }
    for (int i = 0; i < n; ++i) {
      datatype* row = basis.data() + static_cast<Index>(i) * size;
      for (int p = 0; p < n; ++p) row[p] = RoundExtended(static_cast<double>(problem.y[i]) * row[p]);
    }
    for (int p = 0; p < n; ++p) {
      datatype sum = 0;
      for (int i = 0; i < n; ++i) sum = sum + basis[static_cast<Index>(i) * size + static_cast<Index>(p)];
      coefficients[p] = sum;
    }
    RequireFinite({coefficients}, n);
    return 0;
  });
}

}  // namespace trendolin
