// libFuzzer target of the expression interpreter: any bytes as a formula must
// end in a value or an errnotify, never in a crash, a hang or undefined
// behaviour; the parsed form must agree with reading the text afresh; and a
// value must leave no floating-point fault pending.
//
// Input: the first byte chooses the parameter count (0..19) and x; the rest
// is the formula, NUL bytes and all.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "usermodel/interpreter.h"
#include "usermodel/user_model.h"

namespace {

using trendolin::DataSummary;
using trendolin::datatype;

struct Outcome {
  bool raised = false;
  datatype value = 0;
  int error = 0;
  std::string routine;
};

Outcome Run(const std::string& formula, int count, const datatype* parameters, datatype x, bool checking,
            bool direct) {
  const DataSummary data{2.5f, 10, 1.5f, 4, 1, 4, 3, 17};
  Outcome outcome;
  trendolin::ClearFpFaults();
  try {
    outcome.value = direct ? trendolin::InterpretFormulaDirect(formula, count, parameters, x, data, checking)
                           : trendolin::InterpretFormula(formula, count, parameters, x, data, checking);
    // The solver tests the flags after its evaluations: a value must not
    // come with a fault left pending.
    if (trendolin::FpFaultPending()) std::abort();
  } catch (const trendolin::errnotify&) {
    outcome.raised = true;
    outcome.error = trendolin::ErrorInfo.id;
    outcome.routine = trendolin::ErrorInfo.routine;
  }
  return outcome;
}

bool Same(const Outcome& a, const Outcome& b) {
  if (a.raised != b.raised) return false;
  if (a.raised) return a.error == b.error && a.routine == b.routine;
  return std::memcmp(&a.value, &b.value, sizeof(datatype)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const FuzzSession fresh;
  if (size == 0) return 0;
  const int count = data[0] % 20;
  const datatype xs[] = {0.0f, 1.0f, -2.5f, 1e30f};
  const datatype x = xs[(data[0] / 20) % 4];
  const std::string formula(reinterpret_cast<const char*>(data + 1), size - 1);

  const int params = trendolin::NumberofParams(formula);
  if (params < -1 || params > 19) std::abort();

  datatype parameters[19];
  for (int i = 0; i < 19; ++i) parameters[i] = 0.5f * static_cast<datatype>(i + 1);
  for (bool checking : {false, true}) {
    const Outcome parsed = Run(formula, count, parameters, x, checking, false);
    const Outcome again = Run(formula, count, parameters, x, checking, false);  // from the cache
    const Outcome direct = Run(formula, count, parameters, x, checking, true);
    if (!Same(parsed, direct) || !Same(parsed, again)) std::abort();
    if (checking && parsed.raised && parsed.error != trendolin::kErrExpression &&
        parsed.error != trendolin::kErrOverflow) {
      std::abort();  // checking does no arithmetic: only syntax errors and too large numbers
    }
  }

  trendolin::UserFitResult record;
  if (trendolin::SetUserFormula(record, formula) == 0) trendolin::CheckUserFormula(record);
  return 0;
}
