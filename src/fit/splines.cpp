// The linear, quadratic and natural cubic splines through the data points.
#include "fit/splines.h"

#include <vector>

#include "fit/solvers.h"
#include "fit/splines_construction.h"

namespace trendolin {
namespace {

using Row = std::vector<datatype>::size_type;

// The three unknowns of quadratic piece j: columns 3j (x^2), 3j+1 (x), 3j+2 (1).
void PutPiece(std::vector<datatype>& matrix, int columns, int row, int piece, datatype x2, datatype x, datatype one) {
  datatype* r = matrix.data() + static_cast<Row>(row) * static_cast<Row>(columns);
  r[3 * piece] = x2;
  r[3 * piece + 1] = x;
  r[3 * piece + 2] = one;
}

// The rows of the quadratic spline's system, in the order the elimination
// (natural order, no pivoting) relies on. Polls after each interior knot.
int QuadraticRows(NonlinearProblem& problem, std::vector<datatype>& matrix, int unknowns) {
  const int n = problem.nPoints;
  const int columns = unknowns + 1;
  const datatype* x = problem.x;
  const datatype* y = problem.y;
  auto rhs = [&](int row) -> datatype& { return matrix[static_cast<Row>(row) * columns + unknowns]; };

  matrix[0] = 1;  // row 0: a(0) = 0, the first piece is a line
  PutPiece(matrix, columns, 1, 0, x[0] * x[0], x[0], 1);
  rhs(1) = y[0];
  for (int i = 1; i <= n - 2; ++i) {
    const datatype x2 = x[i] * x[i];
    const datatype twoX = 2 * x[i];
    PutPiece(matrix, columns, 3 * i - 1, i - 1, x2, x[i], 1);  // piece i-1 passes through knot i
    rhs(3 * i - 1) = y[i];
    PutPiece(matrix, columns, 3 * i, i - 1, x2, x[i], 1);  // pieces i-1 and i meet at knot i
    PutPiece(matrix, columns, 3 * i, i, -x2, -x[i], -1);
    PutPiece(matrix, columns, 3 * i + 1, i - 1, twoX, 1, 0);  // with the same slope
    PutPiece(matrix, columns, 3 * i + 1, i, -twoX, -1, 0);
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
  }
  PutPiece(matrix, columns, unknowns - 1, n - 2, x[n - 1] * x[n - 1], x[n - 1], 1);
  rhs(unknowns - 1) = y[n - 1];
  return 0;
}

}  // namespace

void SolveTridiagonal(const datatype* sub, datatype* diag, const datatype* super, datatype* rhs, datatype* solution,
                      int n) {
  for (int i = 1; i < n; ++i) {
    const datatype factor = RoundToDatatype(static_cast<double>(sub[i]) / diag[i - 1]);
    diag[i] = RoundToDatatype(diag[i] - static_cast<double>(factor) * super[i - 1]);
    rhs[i] = RoundToDatatype(rhs[i] - static_cast<double>(factor) * rhs[i - 1]);
  }
  solution[n - 1] = RoundToDatatype(static_cast<double>(rhs[n - 1]) / diag[n - 1]);
  for (int i = n - 2; i >= 0; --i) {
    solution[i] = RoundToDatatype((rhs[i] - static_cast<double>(super[i]) * solution[i + 1]) / diag[i]);
  }
}

int LinearSpline(NonlinearProblem& problem, datatype* slope, datatype* intercept) {
  return RunConstruction(problem, "LinearSpline_1", [&]() -> int {
    const datatype* x = problem.x;
    const datatype* y = problem.y;
    for (int i = 0; i + 1 < problem.nPoints; ++i) {
      slope[i] = RoundToDatatype((static_cast<double>(y[i + 1]) - y[i]) / (static_cast<double>(x[i + 1]) - x[i]));
      intercept[i] = RoundToDatatype(y[i] - static_cast<double>(slope[i]) * x[i]);
      if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    }
    RequireFinite({slope, intercept}, problem.nPoints - 1);
    return 0;
  });
}

int QuadraticSpline(NonlinearProblem& problem, datatype* a, datatype* b, datatype* c) {
  return RunConstruction(problem, "QuadraticSpline_1", [&]() -> int {
    const int pieces = problem.nPoints - 1;
    const int unknowns = 3 * pieces;
    std::vector<datatype> matrix(static_cast<Row>(unknowns) * static_cast<Row>(unknowns + 1), 0.0f);
    if (const int answer = QuadraticRows(problem, matrix, unknowns); answer != 0) return answer;
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    SolveAugmented(matrix.data(), unknowns);
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    RequireFinite({matrix.data()}, unknowns);
    for (int j = 0; j < pieces; ++j) {
      a[j] = matrix[static_cast<Row>(3 * j)];
      b[j] = matrix[static_cast<Row>(3 * j + 1)];
      c[j] = matrix[static_cast<Row>(3 * j + 2)];
    }
    return 0;
  });
}

int CubicSpline(NonlinearProblem& problem, datatype* d, datatype* c, datatype* b, datatype* a) {
  return RunConstruction(problem, "CubicSpline_1", [&]() -> int {
    const int n = problem.nPoints;
    const datatype* x = problem.x;
    const datatype* y = problem.y;
    std::vector<datatype> sub(static_cast<Row>(n)), diag(static_cast<Row>(n)), super(static_cast<Row>(n)),
        rhs(static_cast<Row>(n)), m(static_cast<Row>(n));
    for (int i = 1; i + 1 < n; ++i) {
      sub[i] = RoundToDatatype(static_cast<double>(x[i]) - x[i - 1]);
      super[i] = RoundToDatatype(static_cast<double>(x[i + 1]) - x[i]);
      diag[i] = RoundToDatatype(2 * (static_cast<double>(sub[i]) + super[i]));
      rhs[i] = RoundToDatatype(6 * ((static_cast<double>(y[i + 1]) - y[i]) / super[i] -
                                    (static_cast<double>(y[i]) - y[i - 1]) / sub[i]));
      if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    }
    SetNaturalEnds(sub.data(), diag.data(), super.data(), rhs.data(), n);
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;
    SolveTridiagonal(sub.data(), diag.data(), super.data(), rhs.data(), m.data(), n);
    if (const int answer = CheckAndPoll(problem); answer != 0) return answer;

    // Each piece, from its local form around x(j) to powers of x itself.
    for (int j = 0; j + 1 < n; ++j) {
      const double xj = x[j];
      const datatype h = RoundToDatatype(static_cast<double>(x[j + 1]) - xj);
      const datatype dj = RoundToDatatype((static_cast<double>(m[j + 1]) - m[j]) / 6 / h);
      const datatype cj = RoundToDatatype(m[j] / 2.0);
      const datatype s = RoundToDatatype((static_cast<double>(y[j + 1]) - y[j]) / h -
                                         (2.0 * h * m[j] + static_cast<double>(h) * m[j + 1]) / 6);
      d[j] = dj;
      c[j] = RoundToDatatype(cj - 3 * xj * dj);
      b[j] = RoundToDatatype(s - 2 * cj * xj + 3 * dj * xj * xj);
      a[j] = RoundToDatatype(y[j] - s * xj + cj * xj * xj - dj * xj * xj * xj);
    }
    RequireFinite({d, c, b, a}, n - 1);
    return 0;
  });
}

}  // namespace trendolin
