// The console's teletype rules: where characters land, what the control
// characters do, and the order of the lines once the ring has wrapped.
#include "platform/console_ring.h"

#include <gtest/gtest.h>

#include <string>

namespace trendolin {
namespace {

constexpr int kBottom = ConsoleRing::kLines - 1;

TEST(ConsoleRingTest, NewLinesScrollAndReturnOverwrites) {
  ConsoleRing ring;
  EXPECT_EQ(ring.Append("first\nsecond\nthi"), 2);
  EXPECT_EQ(ring.Append("rd"), 0) << "a write without a line feed scrolls nothing";
  EXPECT_EQ(ring.Row(kBottom - 2), "first");
  EXPECT_EQ(ring.Row(kBottom - 1), "second");
  EXPECT_EQ(ring.Row(kBottom), "third");
  EXPECT_EQ(ring.Row(0), "");

  ring.Append("\rTH");
  EXPECT_EQ(ring.Row(kBottom), "THird") << "\\r returns to column 0 and overwrites";
  EXPECT_EQ(ring.Column(), 2);
  ring.Append("\t!\x01\x7f");
  EXPECT_EQ(ring.Row(kBottom), "TH!rd") << "tabs and other control characters take no column";
}

TEST(ConsoleRingTest, BackspaceErasesAndStopsAtTheLineStart) {
  ConsoleRing ring;
  ring.Append("abc\b\bX");
  EXPECT_EQ(ring.Row(kBottom), "aX") << "each \\b erases the character before it";
  ring.Append("\b\b\b\b\by");
  EXPECT_EQ(ring.Row(kBottom), "y") << "\\b at column 0 stays on the line";
  EXPECT_EQ(ring.Column(), 1);
  ring.Append("\n\b");
  EXPECT_EQ(ring.Row(kBottom - 1), "y") << "\\b never reaches back into the line above";
}

TEST(ConsoleRingTest, OverlongLinesKeepTheirFirstEightyCharacters) {
  ConsoleRing ring;
  const std::string longLine = std::string(79, 'x') + "ABCDEF";
  ring.Append(longLine);
  EXPECT_EQ(ring.Row(kBottom), std::string(79, 'x') + "A");
  EXPECT_EQ(ring.Column(), ConsoleRing::kColumns);
  // The column stays at the edge: a backspace takes the last character.
  ring.Append("\bZ");
  EXPECT_EQ(ring.Row(kBottom), std::string(79, 'x') + "Z");
  ring.Append("\nnext");
  EXPECT_EQ(ring.Row(kBottom), "next") << "the dropped characters do not spill over";
}

TEST(ConsoleRingTest, WrappedRingShowsTheLatestLinesOldestFirst) {
  ConsoleRing ring;
  // A long first line whose slot is later reused by short ones: a reused
  // line must come back cleared.
  ring.Append(std::string(60, '#') + "\n");
  int scrolled = 0;
  for (int i = 0; i < 80; ++i) scrolled += ring.Append("line " + std::to_string(i) + "\n");
  EXPECT_EQ(scrolled, 80);
  EXPECT_EQ(ring.Row(kBottom), "") << "the line being written";
  for (int row = 0; row < kBottom; ++row) {
    EXPECT_EQ(ring.Row(row), "line " + std::to_string(80 - kBottom + row)) << "row " << row;
  }
}

TEST(ConsoleRingTest, Utf8CharactersTakeOneColumnEvenWhenSplitAcrossWrites) {
  ConsoleRing ring;
  ring.Append("Caf\xC3");
  ring.Append("\xA9 \xE2\x82");
  ring.Append("\xAC!");
  EXPECT_EQ(ring.Row(kBottom), "Caf\xC3\xA9 \xE2\x82\xAC!");
  EXPECT_EQ(ring.Column(), 7);
  ring.Append("\b");
  EXPECT_EQ(ring.Row(kBottom), "Caf\xC3\xA9 \xE2\x82\xAC") << "\\b erases a whole character";
  // A broken sequence and a stray byte show as the replacement character.
  ring.Append("\n\xC3x\xFF");
  EXPECT_EQ(ring.Row(kBottom), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

}  // namespace
}  // namespace trendolin
