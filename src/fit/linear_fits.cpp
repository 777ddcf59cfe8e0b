// The polynomial model functions and their evaluators.
#include "fit/linear_fits.h"

#include <string>

#include "fit/engine_state.h"
#include "fit/model_desc.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

datatype EvaluateSlot(const ModelDesc& desc, int degree, datatype x) {
  if (desc.coefficients == nullptr) return kDatatypeNaN;
  return PolynomialValue(desc.coefficients, degree, x);
}

}  // namespace

datatype PolynomialValue(const datatype* c, int degree, datatype x) {
  datatype v = c[degree];
  for (int k = degree - 1; k >= 0; --k) {
    v = static_cast<datatype>(static_cast<double>(x) * v + c[k]);
  }
  return v;
}

datatype LinearModel(const datatype* c, datatype x) { return PolynomialValue(c, 1, x); }
datatype QuadraticModel(const datatype* c, datatype x) { return PolynomialValue(c, 2, x); }
datatype PolynomialModel(const datatype* c, datatype x) { return PolynomialValue(c, CurrentEngine().polynomialDegree, x); }

datatype EvaluateLinear(const ModelDesc& desc, datatype x) { return EvaluateSlot(desc, 1, x); }
datatype EvaluateQuadratic(const ModelDesc& desc, datatype x) { return EvaluateSlot(desc, 2, x); }
datatype EvaluatePolynomial(const ModelDesc& desc, datatype x) { return EvaluateSlot(desc, CurrentEngine().polynomialDegree, x); }

}  // namespace trendolin
