// The in-place editor's character filter and number reading.
#include "session/grid_input.h"
#include "precision/rounding.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace trendolin {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

}  // namespace

char LocaleDecimalPoint() {
  const std::lconv* conv = std::localeconv();
  return conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point[0] : '.';
}

bool IsCellInputChar(char c, char decimalPoint) {
  return IsDigit(c) || c == decimalPoint || c == '\b' || c == '+' || c == '-' || c == 'E' || c == 'e';
}

std::string CellValueText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

CellNumber ParseCellNumber(std::string_view text, char decimalPoint) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  if (start == text.size()) return {true, 0.0, 0};

  // The number's own extent is scanned here rather than left to strtod,
  // which would also take hexadecimal, "inf" and "nan" from a pasted text.
  std::size_t i = start;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t intEnd = SkipDigits(text, i);
  std::size_t end = intEnd;
  bool digits = intEnd > i;
  if (end < text.size() && text[end] == decimalPoint) {
    const std::size_t fracEnd = SkipDigits(text, end + 1);
    digits = digits || fracEnd > end + 1;
    end = fracEnd;
  }
  if (!digits) return {false, 0.0, start};
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t e = end + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    const std::size_t expEnd = SkipDigits(text, e);
    if (expEnd > e) end = expEnd;
  }
  std::size_t rest = end;
  while (rest < text.size() && IsBlank(text[rest])) ++rest;
  if (rest != text.size()) return {false, 0.0, end};

  std::string number(text.substr(start, end - start));
  const char localePoint = LocaleDecimalPoint();
  for (char& c : number) {
    if (c == decimalPoint) c = localePoint;
  }
  const double value = std::strtod(number.c_str(), nullptr);
  if (!FitsDatatype(value)) return {false, 0.0, start};
  return {true, value, 0};
}

}  // namespace trendolin
