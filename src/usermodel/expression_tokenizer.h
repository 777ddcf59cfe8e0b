// Splits the text of a user formula into the tokens of the expression
// language: numbers, names, operators and the six relational operators.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace trendolin {

// A token's text has room for 79 characters; a longer one is an error of
// the formula (it is never cut short).
inline constexpr std::size_t kMaxTokenChars = 79;

enum class TokenKind {
  Delimiter,   // an operator, a parenthesis, "=", a relation, or the empty token
  Identifier,  // a name (lower case), or a decimal separator that starts no number
  Number,
  TooLong,     // a number or name of more than kMaxTokenChars characters
};

enum class Relation { None, Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };

struct Token {
  TokenKind kind = TokenKind::Delimiter;
  // Delimiters: one of + - * ^ / ( ) =, or '\0' for the empty token and for
  // relations (which carry their code in `relation`).
  char op = '\0';
  Relation relation = Relation::None;
  std::size_t length = 0;
  std::array<char, kMaxTokenChars + 1> text{};

  std::string_view Text() const { return {text.data(), length}; }
  // The end of the text, or a character no token starts with.
  bool IsEmpty() const { return kind == TokenKind::Delimiter && op == '\0' && relation == Relation::None; }
  bool IsOperator(char c) const { return kind == TokenKind::Delimiter && op == c; }
  bool IsRelation() const { return relation != Relation::None; }
};

// Reads tokens one after the other from a text that ends at its end or at
// its first NUL character, whichever comes first.
class Tokenizer {
 public:
  // `decimalSeparator` is the current locale's: it may start a number.
  Tokenizer(std::string_view text, char decimalSeparator);

  // The next token; the position moves past it. A character no token starts
  // with (";", ",", "!", "&", a second line break, any byte that is not an
  // ASCII letter ...) gives the empty token and is not consumed, so reading
  // stops there for good.
  Token Next();

  std::size_t Position() const { return position_; }
  void Rewind(std::size_t position) { position_ = position; }

 private:
  void SkipBlanksAndLineBreak();
  Token ReadWord(TokenKind kind);

  std::string_view text_;
  char decimal_;
  std::size_t position_ = 0;
};

// The value of a number token: the longest decimal number at its start
// (digits, the decimal separator, digits, an exponent with an optional sign)
// converted by the C library in the current locale. "2x" reads as 2, "1e"
// as 1, "1e-3x" as 0.001.
double NumberTokenValue(std::string_view token, char decimalSeparator);

// The decimal separator of the current locale (its first byte).
char CurrentDecimalSeparator();

}  // namespace trendolin
