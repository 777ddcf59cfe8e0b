// The rules of the two small dialogs of the closed-form fits: the
// polynomial degree dialog and the tension dialog. The windows show the
// fields and boxes; these functions decide what is accepted.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fit/fit_types.h"

namespace trendolin {

// A warning box of the resource strings: caption and text.
struct MessagePair {
  int caption = 0;
  int text = 0;
  bool operator==(const MessagePair&) const = default;
};

// ---- polynomial degree ----

inline constexpr MessagePair kTooFewPointsForPolynomial{49, 50};  // 4 points or fewer
inline constexpr MessagePair kDegreeOutOfRange{63, 64};           // outside 3..MaxPolyDegree
inline constexpr MessagePair kDegreeNotBelowPoints{49, 77};       // not below n - 1
inline constexpr int kDegreeFieldMaxChars = 2;                    // the edit field (control 101)
inline constexpr int kDegreeReaderMaxChars = 3;                   // what the integer reader takes
inline constexpr int kLowestDialogDegree = 3;
inline constexpr const char* kDegreeHelpTopic = "modelinglinreg.html";
inline constexpr int kDegreeHelpContext = 102;

// On opening: with 4 points or fewer the dialog shows this warning and
// closes at once with result 0; otherwise nothing.
std::optional<MessagePair> DegreeDialogOpenWarning(int nPoints);

// The spin control (control 10) next to the degree field.
struct SpinRange {
  int lower = 0;
  int upper = 0;
  int position = 0;
};
// From 3 to min(MaxPolyDegree, n - 1), at the current degree.
SpinRange DegreeSpinRange(int nPoints, int maxPolyDegree, int currentDegree);

// What OK does with the field's text.
enum class DegreeVerdict {
  Accepted,          // the value becomes the current degree; the dialog closes with 1
  NotANumber,        // the integer reader refuses the text: the dialog stays, silently
  OutOfRange,        // beep, warning 63/64, text selected, the dialog stays
  NotBelowPoints,    // beep, warning 49/77, text selected, the dialog stays
};
struct DegreeCheck {
  DegreeVerdict verdict = DegreeVerdict::NotANumber;
  int degree = 0;                      // the value read (when there was one)
  std::optional<MessagePair> warning;  // the box to show, after a beep
};
DegreeCheck CheckDegreeText(std::string_view text, int nPoints, int maxPolyDegree);

// The dialog kit's integer reader: blanks around an optional sign and
// decimal digits, at most kDegreeReaderMaxChars characters without the
// blanks; nothing otherwise.
std::optional<int> ReadDialogInteger(std::string_view text);

// ---- tension ----

inline constexpr MessagePair kTensionNotPositive{65, 66};
inline constexpr const char* kTensionCaption = "Set Tension Parameter";
inline constexpr const char* kTensionPrompt = "Please specify the tension parameter (greater means more tension).";
// The field (control 1001) opens with this text whatever the current tension.
inline constexpr const char* kTensionInitialText = "1.000000";
inline constexpr int kTensionFieldMaxChars = 20;
// The spin control walks the powers of two 2^-22 .. 2^22, starting at 2^0.
inline constexpr int kTensionSpinLowest = -22;
inline constexpr int kTensionSpinHighest = 22;
inline constexpr int kTensionSpinStart = 0;
// The smallest tension accepted: 2^-125 as a float.
inline constexpr double kSmallestTension = 2.3509887e-38;
inline constexpr const char* kTensionHelpTopic = "modelingsplines.html#tension";
inline constexpr int kTensionHelpContext = 104;

// The text a spin position writes into the field: 2^position as "%.8lf"
// (the position is kept within -22..22 first): 1 gives "2.00000000",
// -1 gives "0.50000000".
std::string TensionSpinText(int position);

enum class TensionVerdict {
  Accepted,     // the value becomes the tension; the dialog closes with 1
  NotANumber,   // beep, the dialog stays
  NotPositive,  // beep, warning 65/66, focus and selection back on the field
};
struct TensionCheck {
  TensionVerdict verdict = TensionVerdict::NotANumber;
  datatype tension = 0;
  std::optional<MessagePair> warning;
};
// The field's text on OK: a number (blanks around it allowed, the locale's
// decimal point); below 2.3509887e-38 it is refused with 65/66. A number
// too large for a float reads as no number.
TensionCheck CheckTensionText(std::string_view text);

}  // namespace trendolin
