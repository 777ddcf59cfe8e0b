// The small generic option parser: splits a command-line text into arguments
// and interprets the arguments against a table of options.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trendolin {

// One entry of an option table. Tables are plain aggregates so callers can
// write them as brace lists.
struct CmdOption {
  // The option exactly as typed; compared case-sensitively.
  const char* name;
  // 0: a switch without a value. Otherwise the option takes the next argument
  // as its value; for a text value this is the size of the destination buffer
  // in bytes, terminator included.
  int size;
  // With a value: 0 integer (stored in an int), 1 floating point (stored in a
  // double), 2 text (stored in a char buffer of `size` bytes).
  // Switches: -1 stores 1, -2 stores 0 (in an int).
  int type;
  // Set to 1 once the option has been seen.
  int found;
  // > 0: mandatory. -1: seeing this option waives the mandatory check (a
  // "help" or "version" switch). 0: optional.
  int required;
  // Where the value, or the switch's 1 or 0, is stored. Null stores nothing.
  void* destination;
};

// Argument 0 of every split command line.
inline constexpr const char* kSplitProgramName = "trdln32.exe";

// Splits a command-line text into arguments. Argument 0 is always
// kSplitProgramName; the pieces follow in order. Trailing white space is
// ignored; every blank outside double quotes ends an argument, so two blanks
// in a row give an empty argument. An argument that begins with a double
// quote loses it, and then a closing double quote at its end. An empty or
// absent (null) text gives argument 0 alone. nullopt only when memory runs out.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view text);
std::optional<std::vector<std::string>> SplitCommandLine(const char* text);

// Interprets arguments 1 .. argc-1 against `table` (`entries` entries).
// Arguments that match no option name are skipped, which is how a file name
// passes through. Warnings and errors go to `out` (standard output unless a
// caller redirects them). Returns 0 on success, 1 on a usage error, 5 when
// there are no arguments besides argument 0 and some option is mandatory.
// A table entry of an unsupported type is a programming error: the parser
// says so and ends the process with status 1.
int ParseOptions(int argc, const std::vector<std::string>& argv, CmdOption* table, int entries,
                 std::FILE* out = stdout);

// main()'s arguments as a vector; a null entry becomes an empty argument.
std::vector<std::string> ArgumentList(int argc, const char* const* argv);

// The same for a main()-style argument vector.
int ParseOptions(int argc, const char* const* argv, CmdOption* table, int entries,
                 std::FILE* out = stdout);

}  // namespace trendolin
