// The small generic option parser: command-line splitting and option-table
// interpretation, with its warnings and errors on standard output.
#include "app/cmd_opt.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace trendolin {
namespace {

constexpr int kTypeInteger = 0;
constexpr int kTypeFloating = 1;
constexpr int kTypeText = 2;
constexpr int kSwitchOn = -1;
constexpr int kSwitchOff = -2;

bool IsWhiteSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// A piece that begins with a double quote loses it, and then a closing one.
void RemoveEnclosingQuotes(std::string& piece) {
  if (piece.empty() || piece.front() != '"') return;
  piece.erase(0, 1);
  if (!piece.empty() && piece.back() == '"') piece.pop_back();
}

std::vector<std::string> SplitOrThrow(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);

  std::vector<std::string> args{kSplitProgramName};
  if (text.empty()) return args;

  // Only a blank (not a tab) separates arguments; quotes stay in the piece
  // while walking and are dealt with afterwards.
  std::string piece;
  bool insideQuotes = false;
  for (char c : text) {
    if (c == '"') insideQuotes = !insideQuotes;
    if (c == ' ' && !insideQuotes) {
      args.push_back(std::move(piece));
      piece.clear();
    } else {
      piece += c;
    }
  }
  args.push_back(std::move(piece));

  for (std::size_t i = 1; i < args.size(); ++i) RemoveEnclosingQuotes(args[i]);
  return args;
}

bool AnyMandatory(const CmdOption* table, int entries) {
  for (int j = 0; j < entries; ++j) {
    if (table[j].required > 0) return true;
  }
  return false;
}

CmdOption* FindOption(CmdOption* table, int entries, const std::string& arg) {
  for (int j = 0; j < entries; ++j) {
    if (table[j].name != nullptr && arg == table[j].name) return &table[j];
  }
  return nullptr;
}

[[noreturn]] void UnsupportedType(std::FILE* out) {
  std::fputs("ERROR: suboption type not supported!\n", out);
  std::fputs(" fatal error.\n", out);
  std::fflush(out);
  std::exit(1);
}

void StoreInt(const CmdOption& option, int value) {
  if (option.destination != nullptr) *static_cast<int*>(option.destination) = value;
}

void StoreSwitch(const CmdOption& option, std::FILE* out) {
  if (option.type == kSwitchOn) {
    StoreInt(option, 1);
  } else if (option.type == kSwitchOff) {
    StoreInt(option, 0);
  } else {
    UnsupportedType(out);
  }
}

// An optional sign, then digits only. The empty text passes (and reads as 0).
bool LooksLikeInteger(const std::string& value) {
  for (std::size_t k = 0; k < value.size(); ++k) {
    const char c = value[k];
    if (k == 0 && (c == '-' || c == '+')) continue;
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool LooksLikeFloating(const std::string& value) {
  return value.find_first_not_of("0123456789+-Ee.") == std::string::npos;
}

// Out-of-range integers saturate rather than wrap.
int ReadInteger(const std::string& value) {
  const long long parsed = std::strtoll(value.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long long>(parsed, INT_MIN, INT_MAX));
}

void PrintBadValue(const char* what, const CmdOption& option, const std::string& value,
                   std::FILE* out) {
  std::fprintf(out, "ERROR: the option \"%s\" requires %s suboption;\n", option.name, what);
  std::fprintf(out, "       the given suboption was %s\n", value.c_str());
}

void StoreText(const CmdOption& option, const std::string& value, std::FILE* out) {
  if (option.size <= 0) return;  // no room at all: a table error, nothing to write
  const auto capacity = static_cast<std::size_t>(option.size);
  if (value.size() >= capacity) {
    std::fprintf(out, "Warning: the suboption \"%s\" has been truncated.\n", value.c_str());
  }
  if (option.destination == nullptr) return;
  char* buffer = static_cast<char*>(option.destination);
  std::memset(buffer, 0, capacity);
  std::memcpy(buffer, value.data(), std::min(value.size(), capacity - 1));
}

// Returns false (after printing why) when the value does not suit the option.
bool StoreValue(const CmdOption& option, const std::string& value, std::FILE* out) {
  switch (option.type) {
    case kTypeInteger:
      if (!LooksLikeInteger(value)) {
        PrintBadValue("an integer", option, value, out);
        return false;
      }
      StoreInt(option, ReadInteger(value));
      return true;
    case kTypeFloating:
      if (!LooksLikeFloating(value)) {
        PrintBadValue("a floating point", option, value, out);
        return false;
      }
      if (option.destination != nullptr) {
        *static_cast<double*>(option.destination) = std::strtod(value.c_str(), nullptr);
      }
      return true;
    case kTypeText:
      StoreText(option, value, out);
      return true;
    default:
      UnsupportedType(out);
  }
}

// After the arguments: the mandatory check. Returns 1 when one is missing.
int CheckMandatory(const CmdOption* table, int entries, std::FILE* out) {
  for (int j = 0; j < entries; ++j) {
    if (table[j].required == -1 && table[j].found) return 0;
  }
  bool missing = false;
  for (int j = 0; j < entries; ++j) {
    if (table[j].required > 0 && !table[j].found) {
      std::fprintf(out,
                   "ERROR: \"%s\" is a mandatory argument.  Please specify this option when\n",
                   table[j].name);
      std::fputs("       the executable is run.\n", out);
      std::fputs("\n", out);
      missing = true;
    }
  }
  if (!missing) return 0;
  std::fputs("\n", out);
  return 1;
}

}  // namespace

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view text) {
  try {
    return SplitOrThrow(text);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<std::vector<std::string>> SplitCommandLine(const char* text) {
  return SplitCommandLine(text != nullptr ? std::string_view(text) : std::string_view());
}

int ParseOptions(int argc, const std::vector<std::string>& argv, CmdOption* table, int entries,
                 std::FILE* out) {
  const int count = static_cast<int>(
      std::clamp<long long>(argc, 0, static_cast<long long>(argv.size())));
  if (count <= 1 && AnyMandatory(table, entries)) return 5;

  for (int i = 1; i < count; ++i) {
    CmdOption* option = FindOption(table, entries, argv[i]);
    if (option == nullptr) continue;

    if (option->found) {
      std::fprintf(out, "Warning: option \"%s\" has already been found.\n", option->name);
      std::fputs("         this option's value will be overridden.\n", out);
    }
    if (option->size == 0) {
      StoreSwitch(*option, out);
    } else {
      if (i + 1 >= count) {
        std::fprintf(out, "ERROR: a suboption has been omitted from option %s\n", option->name);
        return 1;
      }
      if (!StoreValue(*option, argv[++i], out)) return 1;
    }
    option->found = 1;
  }
  std::fputs("\n", out);

  return CheckMandatory(table, entries, out);
}

std::vector<std::string> ArgumentList(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc && argv != nullptr; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  return args;
}

int ParseOptions(int argc, const char* const* argv, CmdOption* table, int entries,
                 std::FILE* out) {
  const std::vector<std::string> args = ArgumentList(argc, argv);
  return ParseOptions(static_cast<int>(args.size()), args, table, entries, out);
}

}  // namespace trendolin
