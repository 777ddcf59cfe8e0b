// The calculate button of each Analyze page: reading the fields, running the
// analysis on the fit's curve, and the texts the page shows afterwards.
#include "session/analysis_pages.h"

#include <cmath>
#include <cstdio>

#include "app/out_of_memory.h"
#include "session/manipulation.h"
#include "fit/analysis.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "precision/rounding.h"

namespace trendolin {
namespace {

constexpr std::size_t kCaptionTitleMax = 29;
constexpr int kInvertedLimitsCaption = 69;
constexpr int kInvertedLimitsText = 70;

std::string FormatFixed(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", value);
  return text;
}

std::string FormatResult(datatype value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

// Reads a number field into a float: the whole text but trailing blanks must
// be a number. A value beyond the float range is refused like text that is
// no number, since the curve only takes floats. A bad field beeps and names
// where its selection starts.
bool ReadField(std::string_view text, int field, datatype* value, AnalyzeOutcome* outcome) {
  std::size_t bad = 0;
  std::optional<double> read = ReadNumberField(text, &bad);
  if (read && !FitsDatatype(*read)) {
    read.reset();
    bad = 0;
  }
  if (!read) {
    platform::CurrentUi().Beep();
    outcome->status = AnalyzeStatus::BadField;
    outcome->focusField = field;
    outcome->selectText = true;
    outcome->selectFrom = bad;
    return false;
  }
  *value = static_cast<datatype>(*read);
  return true;
}

// Runs one calculation: its value is shown with "%g"; errnotify (and an
// exhausted allocation, which becomes errnotify) shows "ERR" and writes the
// page's marker. The focus goes to the page's own field afterwards.
template <class Calculation>
AnalyzeOutcome Calculate(const char* marker, int focusField, bool selectText, Calculation&& calculation) {
  AnalyzeOutcome outcome;
  outcome.focusField = focusField;
  outcome.selectText = selectText;
  try {
    outcome.value = GuardAllocation(calculation);
    outcome.resultText = FormatResult(outcome.value);
  } catch (const errnotify&) {
    LogExceptionMarker(marker);
    outcome.status = AnalyzeStatus::Error;
    outcome.errorMarker = true;
    outcome.resultText = kAnalyzeErrorText;
  }
  return outcome;
}

// Tells the window about a long calculation for as long as it runs, also
// when errnotify passes through.
class BusyScope {
 public:
  explicit BusyScope(const AnalyzeBusyNotice& busy) : busy_(busy) {
    if (busy_) busy_(true);
  }
  ~BusyScope() {
    if (busy_) busy_(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  const AnalyzeBusyNotice& busy_;
};

// An integral or arc length: the value, and the warning when the
// integration did not converge. After a fault the warning stays as it was.
template <class Integration>
AnalyzeOutcome Integrate(const char* warning, int focusField, bool selectText, const AnalyzeBusyNotice& busy,
                         Integration&& integration) {
  bool converged = true;
  AnalyzeOutcome outcome = Calculate("AnalyzeDP_4", focusField, selectText, [&] {
    BusyScope scope(busy);
    datatype value = 0.0f;
    converged = integration(&value) == 0;
    return value;
  });
  if (outcome.status == AnalyzeStatus::Shown) {
    outcome.converged = converged;
    outcome.warningText = converged ? "" : warning;
  }
  return outcome;
}

}  // namespace

AnalyzeFields InitialAnalyzeFields(datatype xAxisMin, datatype xAxisMax) {
  const datatype mid = static_cast<datatype>((double{xAxisMin} + xAxisMax) / 2.0);
  AnalyzeFields fields;
  fields.xAtYStart = FormatFixed(mid);
  fields.derivativeAt = FormatFixed(mid);
  fields.integralLower = FormatFixed(xAxisMin);
  fields.integralUpper = FormatFixed(xAxisMax);
  fields.arcLower = FormatFixed(xAxisMin);
  fields.arcUpper = FormatFixed(xAxisMax);
  return fields;
}

AnalyzeOutcome AnalyzeYAtX(const ModelDesc& model, std::string_view x) {
  AnalyzeOutcome bad;
  datatype at = 0.0f;
  if (!ReadField(x, kYAtXField, &at, &bad)) return bad;
  return Calculate("AnalyzeDP_1", kYAtXField, true, [&] { return YAtX(CurveOf(model), at); });
}

AnalyzeOutcome AnalyzeXAtY(const ModelDesc& model, std::string_view y, std::string_view startX) {
  AnalyzeOutcome bad;
  datatype target = 0.0f;
  datatype start = 0.0f;
  if (!ReadField(y, kXAtYTargetField, &target, &bad)) return bad;
  if (!ReadField(startX, kXAtYStartField, &start, &bad)) return bad;
  return Calculate("AnalyzeDP_2", kXAtYTargetField, false, [&] { return XAtY(CurveOf(model), target, start); });
}

AnalyzeOutcome AnalyzeDerivative(const ModelDesc& model, std::string_view x) {
  AnalyzeOutcome bad;
  datatype at = 0.0f;
  if (!ReadField(x, kDerivativeField, &at, &bad)) return bad;
  const PieceWidth width = PieceWidthOf(model);
  return Calculate("AnalyzeDP_3", kDerivativeField, false,
                   [&] { return DiffRE(at, CurveOf(model), width ? width(at) : 0); });
}

AnalyzeOutcome AnalyzeIntegral(const ModelDesc& model, std::string_view lower, std::string_view upper,
                               const AnalyzeBusyNotice& busy) {
  AnalyzeOutcome bad;
  datatype a = 0.0f;
  datatype b = 0.0f;
  if (!ReadField(lower, kIntegralLowerField, &a, &bad)) return bad;
  if (!ReadField(upper, kIntegralUpperField, &b, &bad)) return bad;
  if (a > b) {
    platform::ResourceMessageBox(kInvertedLimitsCaption, kInvertedLimitsText, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    AnalyzeOutcome refused;
    refused.status = AnalyzeStatus::Refused;
    return refused;
  }
  return Integrate(kIntegralNotConverged, kIntegralLowerField, false, busy, [&](datatype* value) {
    IntegrationRequest request;
    request.integrand = CurveOf(model);
    request.a = a;
    request.b = b;
    request.n = 4;
    const int status = Romberg(request);
    *value = request.result;
    return status;
  });
}

AnalyzeOutcome AnalyzeArcLength(const ModelDesc& model, std::string_view lower, std::string_view upper,
                                const AnalyzeBusyNotice& busy) {
  AnalyzeOutcome bad;
  datatype a = 0.0f;
  datatype b = 0.0f;
  if (!ReadField(lower, kArcLowerField, &a, &bad)) return bad;
  if (!ReadField(upper, kArcUpperField, &b, &bad)) return bad;
  return Integrate(kArcLengthNotConverged, kArcUpperField, true, busy,
                   [&](datatype* value) { return ArcLength(CurveOf(model), a, b, value, PieceWidthOf(model)); });
}

AnalyzeOutcome CalculateAnalyzePage(const ModelDesc& model, int page, const AnalyzeFields& fields,
                                    const AnalyzeBusyNotice& busy) {
  switch (page) {
    case kYAtXPage: return AnalyzeYAtX(model, fields.yAtX);
    case kXAtYPage: return AnalyzeXAtY(model, fields.xAtYTarget, fields.xAtYStart);
    case kDerivativePage: return AnalyzeDerivative(model, fields.derivativeAt);
    case kIntegralPage: return AnalyzeIntegral(model, fields.integralLower, fields.integralUpper, busy);
    case kArcLengthPage: return AnalyzeArcLength(model, fields.arcLower, fields.arcUpper, busy);
    default: {
      AnalyzeOutcome unknown;
      unknown.status = AnalyzeStatus::Refused;
      return unknown;
    }
  }
}

std::string AnalyzeCaption(std::string_view windowTitle) {
  return "Analyze - [" + std::string(windowTitle.substr(0, kCaptionTitleMax)) + "]";
}

std::string AnalyzePageTitle(int page) {
  switch (page) {
    case kYAtXPage: return "Y at X";
    case kXAtYPage: return "X at Y";
    case kDerivativePage: return "Derivative";
    case kIntegralPage: return "Integral";
    case kArcLengthPage: return "Arc Length";
    default: return {};
  }
}

std::string AnalyzeHelpTopic(int page) {
  switch (page) {
    case kYAtXPage: return "graphanalyze.html#yfx";
    case kXAtYPage: return "graphanalyze.html#xfy";
    case kDerivativePage: return "graphanalyze.html#diff";
    case kIntegralPage: return "graphanalyze.html#int";
    case kArcLengthPage: return "graphanalyze.html#arc";
    default: return {};
  }
}

int AnalyzeHelpContext(int page) {
  switch (page) {
    case kYAtXPage: return 1101;
    case kXAtYPage: return 1100;
    case kDerivativePage: return 1102;
    case kIntegralPage: return 1103;
    case kArcLengthPage: return 1104;
    default: return 0;
  }
}

}  // namespace trendolin
