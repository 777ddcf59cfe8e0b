#include "platform/console_ring.h"

namespace trendolin {
namespace {

constexpr char32_t kBlank = U' ';
constexpr char32_t kReplacement = 0xFFFD;

bool Printable(char32_t c) { return (c >= 0x20 && c < 0x7F) || c >= 0xA0; }

// How many continuation bytes follow a UTF-8 lead byte; -1 when `byte`
// cannot start a sequence.
int ContinuationCount(unsigned char byte) {
  if (byte < 0x80) return 0;
  if ((byte & 0xE0) == 0xC0) return 1;
  if ((byte & 0xF0) == 0xE0) return 2;
  if ((byte & 0xF8) == 0xF0) return 3;
  return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

ConsoleRing::ConsoleRing() {
  for (Line& line : lines_) line.fill(kBlank);
}

int ConsoleRing::Append(std::string_view text) {
  int started = 0;
  for (char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (pendingLeft_ > 0) {
      if ((byte & 0xC0) == 0x80) {
        pending_ = (pending_ << 6) | (byte & 0x3F);
        if (--pendingLeft_ == 0) Put(pending_);
        continue;
      }
      // The sequence broke off: it shows as one unknown character.
      pendingLeft_ = 0;
      Put(kReplacement);
    }
    const int follow = ContinuationCount(byte);
    if (follow < 0) {
      Put(kReplacement);
    } else if (follow > 0) {
      pending_ = byte & (0x3F >> follow);
      pendingLeft_ = follow;
    } else if (byte == '\n') {
      NewLine();
      ++started;
    } else if (byte == '\r') {
      column_ = 0;
    } else if (byte == '\b') {
      if (column_ > 0) lines_[current_][--column_] = kBlank;
    } else {
      Put(byte);
    }
  }
  return started;
}

void ConsoleRing::Put(char32_t c) {
  if (!Printable(c) || column_ >= kColumns) return;
  lines_[current_][column_++] = c;
}

void ConsoleRing::NewLine() {
  current_ = (current_ + 1) % kLines;
  lines_[current_].fill(kBlank);
  column_ = 0;
}

const ConsoleRing::Line& ConsoleRing::RowLine(int row) const {
  // The line after the bottom one in the ring is the oldest.
  return lines_[(current_ + 1 + row) % kLines];
}

std::u32string ConsoleRing::RowCells(int row) const {
  const Line& line = RowLine(row);
  std::size_t end = line.size();
  while (end > 0 && line[end - 1] == kBlank) --end;
  return std::u32string(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(end));
}

std::string ConsoleRing::Row(int row) const {
  std::string out;
  for (char32_t c : RowCells(row)) AppendUtf8(out, c);
  return out;
}

}  // namespace trendolin
