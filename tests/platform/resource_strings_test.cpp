#include "platform/resource_strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

namespace {

using platform::FormatResource;
using platform::ResourceString;
using platform::ResourceStringTable;

// Every "%" in a text must be a placeholder FormatResource fills ("%s") or an
// escaped percent sign; anything else would reach the user unfilled.
bool HasOnlyKnownConversions(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 == text.size()) return false;
    if (text[i + 1] != 's' && text[i + 1] != '%') return false;
    ++i;
  }
  return true;
}

TEST(ResourceStrings, TableIsStrictlyAscendingWithUsableTexts) {
  const auto& table = ResourceStringTable();
  ASSERT_FALSE(table.empty());
  for (std::size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(table[i].id);
    ASSERT_NE(table[i].text, nullptr);
    EXPECT_FALSE(std::string_view(table[i].text).empty());
    EXPECT_TRUE(HasOnlyKnownConversions(table[i].text));
    if (i > 0) {
      EXPECT_LT(table[i - 1].id, table[i].id);
    }
  }
}

TEST(ResourceStrings, LookupFindsEveryEntryAndNothingElse) {
  for (const auto& entry : ResourceStringTable()) {
    EXPECT_EQ(ResourceString(entry.id), std::string_view(entry.text)) << entry.id;
  }
  for (int absent : {-1, 0, 51, 88, 1040, 1540, 99999}) {
    EXPECT_TRUE(ResourceString(absent).empty()) << absent;
  }
}

TEST(ResourceStrings, EveryErrorIdentifierHasAMessageWithAtMostTwoPlaceholders) {
  for (int error_id = 1; error_id <= 15; ++error_id) {
    const std::string_view text = ResourceString(error_id + 15);
    SCOPED_TRACE(error_id);
    ASSERT_FALSE(text.empty());
    EXPECT_LE(text.size(), 200u);  // the error dialog loads at most 200 characters
    std::size_t placeholders = 0;
    for (auto pos = text.find("%s"); pos != std::string_view::npos; pos = text.find("%s", pos + 2)) {
      ++placeholders;
    }
    EXPECT_LE(placeholders, 2u);
  }
}

TEST(ResourceStrings, EveryModelHasDistinctShortNames) {
  std::set<std::string> titles;
  for (int model = 500; model <= 539; ++model) {
    SCOPED_TRACE(model);
    // The polynomial's title is a format filled with the degree; check its widest form.
    const std::string title = FormatResource(ResourceString(model + 1000), {"19"});
    ASSERT_FALSE(title.empty());
    EXPECT_LE(title.size(), 29u);
    EXPECT_TRUE(titles.insert(title).second) << "graph windows are found by title: " << title;

    const std::string_view list_name = ResourceString(model + 500);
    ASSERT_FALSE(list_name.empty());
    EXPECT_LE(list_name.size(), 39u);  // the preview title holds 39 characters
  }
}

TEST(ResourceStrings, StatusTextsAndTooltipsFitTheirSpace) {
  for (const auto& entry : ResourceStringTable()) {
    const std::size_t length = std::string_view(entry.text).size();
    if (entry.id >= 454 && entry.id <= 539) {
      EXPECT_LE(length, 51u) << entry.id;  // status-bar help
    }
    if (entry.id >= 1798 && entry.id <= 2039) {
      EXPECT_LE(length, 39u) << entry.id;  // toolbar tooltips
    }
  }
}

TEST(FormatResource, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatResource("%s failed in %s.", {"Power Fit", "log10"}), "Power Fit failed in log10.");
  EXPECT_EQ(FormatResource("no placeholders", {"unused"}), "no placeholders");
  EXPECT_EQ(FormatResource("%s|%s", {"a", "b", "extra"}), "a|b");
  EXPECT_EQ(FormatResource("", {"a"}), "");
}

TEST(FormatResource, MissingArgumentsGiveEmptyText) {
  EXPECT_EQ(FormatResource("[%s] [%s]", {"only"}), "[only] []");
  EXPECT_EQ(FormatResource("[%s]", {}), "[]");
}

TEST(FormatResource, OtherConversionsAndPercentSignsAreNotArguments) {
  EXPECT_EQ(FormatResource("%d points, %s", {"x"}), "%d points, x");
  EXPECT_EQ(FormatResource("100%% of %s", {"y"}), "100% of y");
  EXPECT_EQ(FormatResource("%%s stays", {"z"}), "%s stays");
  EXPECT_EQ(FormatResource("ends with %", {}), "ends with %");
  // Filled text is never scanned again, so an argument holding "%s" stays as it is.
  EXPECT_EQ(FormatResource("%s and %s", {"%s", "b"}), "%s and b");
}

}  // namespace
