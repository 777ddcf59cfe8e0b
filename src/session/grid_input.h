// What the grid's in-place editor accepts: the characters a number is typed
// with, the text of a cell, and the number a finished edit holds.
#pragma once

#include <string>
#include <string_view>

namespace trendolin {

// The decimal point of the current C locale (the program's "Locale" setting).
char LocaleDecimalPoint();

// Digits, the decimal point, "+", "-", "E", "e" and backspace. Everything
// else a person types into a cell is dropped.
bool IsCellInputChar(char c, char decimalPoint);

// The text a cell shows for a stored value ("%g", the locale's decimal point).
std::string CellValueText(double value);

struct CellNumber {
  bool ok = false;
  double value = 0;
  // When not ok: where the unreadable part starts (the editor selects from
  // there to the end).
  std::size_t badOffset = 0;
};

// Reads a finished edit: one decimal number in the locale's notation,
// optionally followed by blanks. An empty or blank text reads as 0, like a
// cell that was cleared. Numbers a stored value cannot hold (beyond the
// single-precision range) are refused as a whole.
CellNumber ParseCellNumber(std::string_view text, char decimalPoint);

}  // namespace trendolin
