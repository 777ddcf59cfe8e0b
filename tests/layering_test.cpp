// The core's layers hold: no file under the core folders includes a Qt
// header, each layer includes nothing above it, and the engine does not talk
// to the person (the Ui is the session's).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kSource = std::filesystem::path(TRENDOLIN_SOURCE_DIR) / "src";

// Each include of the project in `text`: its line number and its folder
// ("fit" for "fit/nonlinear.h"; empty for an include without a folder).
struct Include {
  int line;
  std::string folder;
  std::string path;
  std::string text;
};

std::vector<Include> ProjectIncludes(std::istream& in) {
  static const std::regex quoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<Include> found;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::smatch m;
    if (!std::regex_search(line, m, quoted)) continue;
    const std::string path = m[1];
    const std::size_t slash = path.find('/');
    found.push_back({number, slash == std::string::npos ? std::string() : path.substr(0, slash), path, line});
  }
  return found;
}

// Which folders the files of a folder may include, besides their own. The
// platform seam is the floor; the precision set (the stored type, rounding,
// checked math, fault checks and the numeric error channel) stands on it;
// the engine's folders stand on both and use one another; the session layer
// (session/, app/) stands on the engine.
const std::map<std::string, std::set<std::string>>& AllowedBelow() {
  static const std::set<std::string> engine = {"platform", "precision", "data", "fit", "usermodel", "graph"};
  static const std::set<std::string> session = [] {
    std::set<std::string> folders = engine;
    folders.insert({"session", "app"});
    return folders;
  }();
  static const std::map<std::string, std::set<std::string>> allowed = {
      {"platform", {}},       {"precision", {"platform"}}, {"data", engine}, {"fit", engine},
      {"usermodel", engine},  {"graph", engine},           {"session", session}, {"app", session},
  };
  return allowed;
}

// The engine talks to the person only through its notices, which the session
// forwards: these headers of the seam are the session's.
const std::set<std::string>& UiHeaders() {
  static const std::set<std::string> headers = {"platform/ui.h", "platform/headless_ui.h"};
  return headers;
}

bool IsEngineFolder(const std::string& folder) {
  return folder != "platform" && folder != "session" && folder != "app";
}

// The upward includes of one file of `folder`, as "line: text".
std::vector<std::string> UpwardIncludes(const std::string& folder, std::istream& in) {
  std::vector<std::string> upward;
  const std::set<std::string>& below = AllowedBelow().at(folder);
  for (const Include& include : ProjectIncludes(in)) {
    const bool ui = IsEngineFolder(folder) && UiHeaders().count(include.path) != 0;
    if (!ui && (include.folder.empty() || include.folder == folder || below.count(include.folder) != 0)) continue;
    upward.push_back(std::to_string(include.line) + ": " + include.text);
  }
  return upward;
}

TEST(LayeringTest, CoreFoldersIncludeNoQtHeader) {
  const std::regex qtInclude(R"(^\s*#\s*include\s*[<"]Q)");
  int checked = 0;
  for (const char* folder : {"precision", "data", "fit", "usermodel", "graph", "session", "app", "platform"}) {
    const std::filesystem::path dir = kSource / folder;
    if (!std::filesystem::exists(dir)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path());
      std::string line;
      int number = 0;
      while (std::getline(in, line)) {
        ++number;
        EXPECT_FALSE(std::regex_search(line, qtInclude)) << entry.path() << ":" << number << ": " << line;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

TEST(LayeringTest, NoLayerIncludesOneAboveIt) {
  int checked = 0;
  for (const auto& [folder, below] : AllowedBelow()) {
    for (const auto& entry : std::filesystem::directory_iterator(kSource / folder)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path());
      for (const std::string& include : UpwardIncludes(folder, in)) ADD_FAILURE() << entry.path() << ":" << include;
      ++checked;
    }
  }
  EXPECT_GT(checked, 150);
}

// The check itself: an include planted one layer up is found, with its line.
TEST(LayeringTest, APlantedUpwardIncludeIsFound) {
  std::istringstream planted(
      "#include \"precision/fp_guard.h\"\n"
      "\n"
      "#include <cmath>\n"
      "#include \"platform/debug_log.h\"\n"
      "#include \"data/curve_fit.h\"\n"
      "#include \"ui.h\"\n");
  EXPECT_EQ(UpwardIncludes("precision", planted), std::vector<std::string>{"5: #include \"data/curve_fit.h\""});
  std::istringstream fromTheFloor("#include \"precision/datatype.h\"\n");
  EXPECT_EQ(UpwardIncludes("platform", fromTheFloor).size(), 1u);

  // The engine reaching up into the session layer, or for the Ui.
  std::istringstream kernel(
      "#include \"fit/model_desc.h\"\n"
      "#include \"data/curve_fit.h\"\n"
      "#include \"session/fit_hunter.h\"\n"
      "#include \"app/app_settings.h\"\n"
      "#include \"platform/ui.h\"\n"
      "#include \"platform/resource_strings.h\"\n");
  EXPECT_EQ(UpwardIncludes("fit", kernel),
            (std::vector<std::string>{"3: #include \"session/fit_hunter.h\"", "4: #include \"app/app_settings.h\"",
                                      "5: #include \"platform/ui.h\""}));
  // The session layer may use all of it.
  std::istringstream driver(
      "#include \"fit/model_desc.h\"\n"
      "#include \"app/app_settings.h\"\n"
      "#include \"platform/ui.h\"\n");
  EXPECT_TRUE(UpwardIncludes("session", driver).empty());
}

}  // namespace
