// What the polynomial degree dialog and the tension dialog accept.
#include "session/linear_fits_dialogs.h"
#include "precision/rounding.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace trendolin {
namespace {

constexpr int kFewestPolynomialPoints = 5;  // a polynomial fit needs more than 4 points

std::string_view Trim(std::string_view text) {
  auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<MessagePair> DegreeDialogOpenWarning(int nPoints) {
  if (nPoints < kFewestPolynomialPoints) return kTooFewPointsForPolynomial;
  return std::nullopt;
}

SpinRange DegreeSpinRange(int nPoints, int maxPolyDegree, int currentDegree) {
  return SpinRange{kLowestDialogDegree, std::min(maxPolyDegree, nPoints - 1), currentDegree};
}

std::optional<int> ReadDialogInteger(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > static_cast<std::size_t>(kDegreeReaderMaxChars)) return std::nullopt;
  std::size_t at = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') at = 1;
  if (at == text.size()) return std::nullopt;
  int value = 0;
  for (; at < text.size(); ++at) {
    if (!std::isdigit(static_cast<unsigned char>(text[at]))) return std::nullopt;
    value = value * 10 + (text[at] - '0');
  }
  return negative ? -value : value;
}

DegreeCheck CheckDegreeText(std::string_view text, int nPoints, int maxPolyDegree) {
  DegreeCheck check;
  const std::optional<int> value = ReadDialogInteger(text);
  if (!value) return check;
  check.degree = *value;
  if (*value > maxPolyDegree || *value < kLowestDialogDegree) {
    check.verdict = DegreeVerdict::OutOfRange;
    check.warning = kDegreeOutOfRange;
  } else if (*value >= nPoints - 1) {
    check.verdict = DegreeVerdict::NotBelowPoints;
    check.warning = kDegreeNotBelowPoints;
  } else {
    check.verdict = DegreeVerdict::Accepted;
  }
  return check;
}

std::string TensionSpinText(int position) {
  position = std::clamp(position, kTensionSpinLowest, kTensionSpinHighest);
  char text[64];
  std::snprintf(text, sizeof text, "%.8lf", std::ldexp(1.0, position));
  return text;
}

TensionCheck CheckTensionText(std::string_view text) {
  TensionCheck check;
  const std::string field(Trim(text));
  if (field.empty()) return check;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(field.c_str(), &end);
  if (end != field.c_str() + field.size()) return check;
  if (!FitsDatatype(value)) return check;
  if (value < kSmallestTension) {
    check.verdict = TensionVerdict::NotPositive;
    check.warning = kTensionNotPositive;
    return check;
  }
  check.verdict = TensionVerdict::Accepted;
  check.tension = static_cast<datatype>(value);
  return check;
}

}  // namespace trendolin
