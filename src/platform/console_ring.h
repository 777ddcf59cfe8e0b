// The debug console's text: a ring of 35 lines of 80 characters that log
// text is typed into like a teletype. The window only paints it.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace trendolin {

class ConsoleRing {
 public:
  static constexpr int kLines = 35;
  static constexpr int kColumns = 80;

  ConsoleRing();

  // Types `text` at the bottom line: a printable character goes to the next
  // column (past the last column it is dropped), "\n" starts a new, cleared
  // line, "\r" returns to column 0, "\b" erases the character before the
  // column; "\t" and other control characters are ignored. UTF-8 sequences
  // take one column each, also when a write splits one.
  // Returns how many lines the text started: the window scrolls that far.
  int Append(std::string_view text);

  // Line `row` as shown, 0 the oldest at the top, kLines - 1 the bottom line
  // being written; UTF-8, without the blanks after its last character.
  std::string Row(int row) const;

  // The same as UTF-32 cells, for painting.
  std::u32string RowCells(int row) const;

  int Column() const { return column_; }

 private:
  // Unwritten and erased cells hold blanks.
  using Line = std::array<char32_t, kColumns>;

  void Put(char32_t c);
  void NewLine();
  const Line& RowLine(int row) const;

  std::array<Line, kLines> lines_;
  int current_ = 0;  // ring index of the bottom line
  int column_ = 0;
  // A UTF-8 sequence not finished by the last write.
  char32_t pending_ = 0;
  int pendingLeft_ = 0;
};

}  // namespace trendolin
