// Resolving model names given on the command line.
#include "cli/model_names.h"

#include <cctype>
#include <vector>

#include "fit/model_desc.h"

namespace cli {
namespace {

struct Alias {
  const char* name;
  int id;
};

// Short names for the models whose menu labels make long keys.
constexpr Alias kAliases[] = {{"polynomial", 502}, {"plot", 503}, {"user", 539}, {"interpolation", 534}};

}  // namespace

std::string ModelKey(int id) { return trendolin::ModelLabelWord(id, '-'); }

std::optional<int> ResolveModel(const std::string& text, std::string* why) {
  if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0]))) {
    std::size_t used = 0;
    int id = 0;
    try {
      id = std::stoi(text, &used);
    } catch (...) {
      used = 0;
    }
    if (used == text.size() && trendolin::CatalogueEntryOf(id)) return id;
    if (why) *why = "no model has the id " + text + " (the ids run from 500 to 539)";
    return std::nullopt;
  }
  std::string wanted;
  for (char c : text) wanted += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const Alias& alias : kAliases) {
    if (wanted == alias.name) return alias.id;
  }
  std::vector<int> prefixed;
  for (int id = 500; id <= 539; ++id) {
    const std::string key = ModelKey(id);
    if (key == wanted) return id;
    if (!wanted.empty() && key.compare(0, wanted.size(), wanted) == 0) prefixed.push_back(id);
  }
  if (prefixed.size() == 1) return prefixed.front();
  if (why) {
    if (prefixed.empty()) {
      *why = "no model is called \"" + text + "\" (trendolin-cli models lists them)";
    } else {
      *why = "\"" + text + "\" could mean";
      for (int id : prefixed) *why += " " + ModelKey(id);
    }
  }
  return std::nullopt;
}

}  // namespace cli
