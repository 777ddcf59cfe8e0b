// Model identifiers on the command line: numbers 500..539 or names taken
// from the Fit menu's labels ("exponential", "logistic-model", "cubic-spline").
#pragma once

#include <optional>
#include <string>

namespace cli {

// The key of model `id`: its menu label in lower case, words joined by "-",
// without mnemonics, dots and brackets.
std::string ModelKey(int id);

// The model an argument names: a number 500..539, a key, a short alias
// ("polynomial", "user", "plot"), or a prefix of exactly one key. On failure
// returns nullopt and sets `why`.
std::optional<int> ResolveModel(const std::string& text, std::string* why);

}  // namespace cli
