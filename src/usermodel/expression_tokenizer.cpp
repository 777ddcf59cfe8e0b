// The tokenizer of the expression language.
#include "usermodel/expression_tokenizer.h"

#include <langinfo.h>

#include <algorithm>
#include <cfenv>
#include <cstdlib>
#include <cstring>
#include <string>

namespace trendolin {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Only ASCII letters start a name: a byte of a multi-byte character never
// does, whatever the locale says about it.
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Numbers and names run up to one of these (or the end of the text). The
// comma, the full stop, letters and a lone line feed do not end them.
bool EndsWord(char c) {
  switch (c) {
    case ' ': case '\t': case '\r':
    case '!': case '<': case '>': case ';':
    case '+': case '-': case '/': case '*': case '^': case '=': case '(': case ')':
      return true;
    default:
      return false;
  }
}

Token Delimiter(char op) {
  Token token;
  token.op = op;
  token.length = op == '\0' ? 0 : 1;
  token.text[0] = op;
  return token;
}

Token RelationToken(Relation relation, std::string_view text) {
  Token token;
  token.relation = relation;
  token.length = text.size();
  std::memcpy(token.text.data(), text.data(), text.size());
  return token;
}

}  // namespace

Tokenizer::Tokenizer(std::string_view text, char decimalSeparator) : text_(text), decimal_(decimalSeparator) {
  // The formula is a C string to its users: a NUL ends it.
  if (const std::size_t nul = text_.find('\0'); nul != std::string_view::npos) text_ = text_.substr(0, nul);
}

// One CR and the character after it (the LF of a pasted line break) are
// skipped per token. A CR that is the last character is skipped alone.
void Tokenizer::SkipBlanksAndLineBreak() {
  while (position_ < text_.size() && IsBlank(text_[position_])) ++position_;
  if (position_ < text_.size() && text_[position_] == '\r') {
    position_ = std::min(position_ + 2, text_.size());
    while (position_ < text_.size() && IsBlank(text_[position_])) ++position_;
  }
}

Token Tokenizer::ReadWord(TokenKind kind) {
  const std::size_t start = position_;
  while (position_ < text_.size() && !EndsWord(text_[position_])) ++position_;
  // A minus right after an exponent letter belongs to the number: 1e-3.
  if (kind == TokenKind::Number && position_ < text_.size() && text_[position_] == '-' && position_ > start &&
      (text_[position_ - 1] == 'e' || text_[position_ - 1] == 'E')) {
    ++position_;
    while (position_ < text_.size() && !EndsWord(text_[position_])) ++position_;
  }
  Token token;
  const std::size_t length = position_ - start;
  if (length > kMaxTokenChars) {
    token.kind = TokenKind::TooLong;
    return token;
  }
  token.kind = kind;
  token.length = length;
  for (std::size_t i = 0; i < length; ++i) token.text[i] = text_[start + i];
  if (kind == TokenKind::Number && token.text[0] == decimal_ && (length < 2 || !IsDigit(token.text[1]))) {
    token.kind = TokenKind::Identifier;  // a separator that starts no number: an error where it is read
  }
  if (kind == TokenKind::Identifier) {
    for (std::size_t i = 0; i < length; ++i) token.text[i] = Lower(token.text[i]);
  }
  return token;
}

Token Tokenizer::Next() {
  SkipBlanksAndLineBreak();
  if (position_ >= text_.size()) return Delimiter('\0');
  const char c = text_[position_];
  const char next = position_ + 1 < text_.size() ? text_[position_ + 1] : '\0';
  if (next == '=' && (c == '<' || c == '>' || c == '=' || c == '!')) {
    const Relation relation = c == '<'   ? Relation::LessEqual
                              : c == '>' ? Relation::GreaterEqual
                              : c == '=' ? Relation::Equal
                                         : Relation::NotEqual;
    const std::string_view text = text_.substr(position_, 2);
    position_ += 2;
    return RelationToken(relation, text);
  }
  if (c == '<' || c == '>') {
    const std::string_view text = text_.substr(position_, 1);
    ++position_;
    return RelationToken(c == '<' ? Relation::Less : Relation::Greater, text);
  }
  if (std::strchr("+-*^/()=", c) != nullptr) {
    ++position_;
    return Delimiter(c);
  }
  if (IsDigit(c) || c == decimal_) return ReadWord(TokenKind::Number);
  if (IsLetter(c)) return ReadWord(TokenKind::Identifier);
  return Delimiter('\0');
}

double NumberTokenValue(std::string_view token, char decimalSeparator) {
  std::size_t end = 0;
  auto digits = [&] {
    while (end < token.size() && IsDigit(token[end])) ++end;
  };
  digits();
  if (end < token.size() && token[end] == decimalSeparator) {
    ++end;
    digits();
  }
  if (end < token.size() && (token[end] == 'e' || token[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < token.size() && (token[exponent] == '+' || token[exponent] == '-')) ++exponent;
    if (exponent < token.size() && IsDigit(token[exponent])) {
      end = exponent;
      digits();
    }
  }
  // Only the decimal prefix goes to the C library, so that its other forms
  // (hexadecimal, "inf", "nan") never turn up in a formula. Reading a formula
  // is no arithmetic: a number too large for a double must not leave an
  // overflow flag behind for the caller's fault check.
  const std::string prefix(token.substr(0, end));
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
  const double value = std::strtod(prefix.c_str(), nullptr);
  std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
  return value;
}

char CurrentDecimalSeparator() {
  const char* radix = nl_langinfo(RADIXCHAR);
  return radix != nullptr && radix[0] != '\0' ? radix[0] : '.';
}

}  // namespace trendolin
