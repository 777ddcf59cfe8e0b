// What the grid's in-place editor accepts and how it reads a finished edit.
#include <gtest/gtest.h>

#include "session/grid_input.h"

namespace trendolin {
namespace {

TEST(GridInputTest, OnlyTheCharactersOfANumberAreTyped) {
  for (char c : std::string("0123456789.+-eE\b")) EXPECT_TRUE(IsCellInputChar(c, '.')) << c;
  for (char c : std::string("aZx ,/*")) EXPECT_FALSE(IsCellInputChar(c, '.')) << c;
  EXPECT_TRUE(IsCellInputChar(',', ','));
  EXPECT_FALSE(IsCellInputChar('.', ','));
}

TEST(GridInputTest, AFinishedEditIsOneNumberWithTrailingBlanks) {
  EXPECT_DOUBLE_EQ(ParseCellNumber("1e5", '.').value, 100000.0);
  EXPECT_DOUBLE_EQ(ParseCellNumber(" -2.5E-1  ", '.').value, -0.25);
  EXPECT_DOUBLE_EQ(ParseCellNumber(".5", '.').value, 0.5);
  EXPECT_DOUBLE_EQ(ParseCellNumber("7.", '.').value, 7.0);
  EXPECT_DOUBLE_EQ(ParseCellNumber("1,5", ',').value, 1.5);  // a decimal-comma locale
  const CellNumber cleared = ParseCellNumber("  ", '.');
  EXPECT_TRUE(cleared.ok);
  EXPECT_EQ(cleared.value, 0.0);
}

TEST(GridInputTest, TheUnreadablePartIsFoundForSelection) {
  const CellNumber tail = ParseCellNumber("12.5x3", '.');
  EXPECT_FALSE(tail.ok);
  EXPECT_EQ(tail.badOffset, 4u);
  EXPECT_EQ(ParseCellNumber("1e", '.').badOffset, 1u);  // an exponent without digits is not read
  EXPECT_EQ(ParseCellNumber("1.2.3", '.').badOffset, 3u);
  EXPECT_EQ(ParseCellNumber("-", '.').badOffset, 0u);
  EXPECT_EQ(ParseCellNumber("1,5", '.').badOffset, 1u);
  // Pasted texts strtod alone would take.
  EXPECT_FALSE(ParseCellNumber("inf", '.').ok);
  EXPECT_FALSE(ParseCellNumber("0x10", '.').ok);
  // Beyond what a stored value holds.
  EXPECT_FALSE(ParseCellNumber("1e39", '.').ok);
  EXPECT_TRUE(ParseCellNumber("-3e38", '.').ok);
}

TEST(GridInputTest, CellsShowSixSignificantDigits) {
  EXPECT_EQ(CellValueText(100000.0), "100000");
  EXPECT_EQ(CellValueText(1234567.0), "1.23457e+06");
  EXPECT_EQ(CellValueText(static_cast<double>(0.1f)), "0.1");
}

}  // namespace
}  // namespace trendolin
