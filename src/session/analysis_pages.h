// The Analyze dialog's five pages (y at x, x at y, derivative, integral, arc
// length) as functions over the texts of their fields.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "fit/model_desc.h"

namespace trendolin {

// Pages of the dialog, in the order of its tabs.
enum AnalyzePage : int {
  kYAtXPage = 0,
  kXAtYPage = 1,
  kDerivativePage = 2,
  kIntegralPage = 3,
  kArcLengthPage = 4,
};
inline constexpr int kAnalyzePageCount = 5;

// Control identifiers of the pages' fields.
inline constexpr int kYAtXField = 1104;
inline constexpr int kYAtXResult = 1201;
inline constexpr int kXAtYTargetField = 2101;
inline constexpr int kXAtYStartField = 2105;
inline constexpr int kXAtYResult = 2106;
inline constexpr int kDerivativeField = 3104;
inline constexpr int kDerivativeResult = 3201;
inline constexpr int kIntegralLowerField = 4101;
inline constexpr int kIntegralUpperField = 4105;
inline constexpr int kIntegralResult = 4106;
inline constexpr int kIntegralWarning = 4901;
inline constexpr int kArcLowerField = 1011;
inline constexpr int kArcUpperField = 1012;
inline constexpr int kArcResult = 1013;
inline constexpr int kArcWarning = 1014;
inline constexpr int kAnalyzePageSelector = 101;
inline constexpr std::size_t kAnalyzeFieldLimit = 30;  // characters a number field accepts

// What the result field shows when a calculation faulted.
inline constexpr const char* kAnalyzeErrorText = "ERR";
// What the result field shows while an integral or arc length runs.
inline constexpr const char* kAnalyzeWaitText = "Wait...";
inline constexpr const char* kIntegralNotConverged = "WARNING: The integration did not converge(tol=.01%).";
inline constexpr const char* kArcLengthNotConverged = "WARNING: The operation did not converge(tol=.01%).";

// The texts of every input field, as the dialog holds them.
struct AnalyzeFields {
  std::string yAtX;            // 1104: x
  std::string xAtYTarget;      // 2101: y
  std::string xAtYStart;       // 2105: starting x
  std::string derivativeAt;    // 3104: x
  std::string integralLower;   // 4101
  std::string integralUpper;   // 4105
  std::string arcLower;        // 1011
  std::string arcUpper;        // 1012
};

// The fields when the dialog opens, from the graph's x axis: "%f" of its
// minimum, maximum and mid-point; the x of page 0 and the y of page 1 empty.
AnalyzeFields InitialAnalyzeFields(datatype xAxisMin, datatype xAxisMax);

enum class AnalyzeStatus {
  Shown,     // the result field shows a value
  Error,     // the calculation faulted: the result field shows "ERR"
  BadField,  // a field is not a number: beep, nothing calculated
  Refused,   // the integral's limits are inverted: warning 69/70, nothing calculated
};

// What one press of the calculate button changes. A field left nullopt keeps
// its text.
struct AnalyzeOutcome {
  AnalyzeStatus status = AnalyzeStatus::Shown;
  std::optional<std::string> resultText;   // "%g" of the value, or "ERR"
  std::optional<std::string> warningText;  // pages 3 and 4: the warning, or empty
  bool errorMarker = false;                // the result field reads "ERR"
  datatype value = 0.0f;                   // the value shown (status Shown)
  bool converged = true;                   // pages 3 and 4: the integration converged
  // Where the focus goes afterwards: the bad field with its text selected
  // from selectFrom on, or the page's own field after a calculation.
  int focusField = 0;
  bool selectText = false;
  std::size_t selectFrom = 0;
};

// Called with true before a long calculation (the window shows "Wait..." in
// the result field and disables itself) and with false after it, also when
// it faulted.
using AnalyzeBusyNotice = std::function<void(bool busy)>;

// The calculate button on one page. `model` is the descriptor of the fit the
// owner graph window shows; every page works on its evaluate routine. Faults
// are logged with the page's marker ("AnalyzeDP_1" .. "AnalyzeDP_4") and
// shown as "ERR"; ErrorInfo is left as the fault filled it.
AnalyzeOutcome AnalyzeYAtX(const ModelDesc& model, std::string_view x);
AnalyzeOutcome AnalyzeXAtY(const ModelDesc& model, std::string_view y, std::string_view startX);
AnalyzeOutcome AnalyzeDerivative(const ModelDesc& model, std::string_view x);
// Lower above upper is refused with warning 69/70 through the Ui.
AnalyzeOutcome AnalyzeIntegral(const ModelDesc& model, std::string_view lower, std::string_view upper,
                               const AnalyzeBusyNotice& busy = {});
// Limits in either order; reversed limits give a negative length.
AnalyzeOutcome AnalyzeArcLength(const ModelDesc& model, std::string_view lower, std::string_view upper,
                                const AnalyzeBusyNotice& busy = {});

// The page that is showing, with the fields as the dialog holds them.
AnalyzeOutcome CalculateAnalyzePage(const ModelDesc& model, int page, const AnalyzeFields& fields,
                                    const AnalyzeBusyNotice& busy = {});

// "Analyze - [title]", the owner window's title cut to 29 characters.
std::string AnalyzeCaption(std::string_view windowTitle);

// The tab title of a page; empty for an unknown page.
std::string AnalyzePageTitle(int page);

// The help topic of a page ("graphanalyze.html#yfx" ...), and the context of
// the classic help file when HTML help is off; empty and 0 for an unknown page.
std::string AnalyzeHelpTopic(int page);
int AnalyzeHelpContext(int page);

}  // namespace trendolin
