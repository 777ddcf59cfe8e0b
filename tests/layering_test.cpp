// The core must build without Qt: no file under the core folders may include
// a Qt header.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

TEST(LayeringTest, CoreFoldersIncludeNoQtHeader) {
  const std::filesystem::path root = std::filesystem::path(TRENDOLIN_SOURCE_DIR) / "src";
  const std::regex qtInclude(R"(^\s*#\s*include\s*[<"]Q)");
  int checked = 0;
  for (const char* folder : {"precision", "data", "fit", "usermodel", "graph", "app", "platform"}) {
    const std::filesystem::path dir = root / folder;
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

}  // namespace
