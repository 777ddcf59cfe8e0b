// The numbered texts the program shows: message captions and texts, model
// names, titles and tooltips, looked up by the number the code asks for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ResourceStringEntry {
  int id;
  const char* text;
};

// The text with this number, or an empty view when the table has none.
std::string_view ResourceString(int id);

// Every entry of the table in ascending order of number (for checks and tools).
const std::vector<ResourceStringEntry>& ResourceStringTable();

// Fills the "%s" placeholders of a resource text in order with the given
// arguments. "%%" gives one "%"; any other conversion is copied as it stands,
// so a stray "%d" in a text can never read a missing argument.
std::string FormatResource(std::string_view format, const std::vector<std::string>& args);

}  // namespace platform
