// Tests of the recently-used file list: its order, its keys and its menu items.
#include "app/mru_list.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace trendolin {
namespace {

namespace fs = std::filesystem;

class MruListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::path(::testing::TempDir()) / "mru_list_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    path_ = (folder_ / "REVUZI.INI").string();
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteFile(std::string_view text) const { std::ofstream(path_, std::ios::binary) << text; }

  std::string ReadFile() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path folder_;
  std::string path_;
};

MruList ListOf(std::initializer_list<const char*> oldestFirst) {
  MruList list = CreateMruList();
  for (const char* name : oldestFirst) AddMruName(list, name);
  return list;
}

TEST_F(MruListTest, AddingPromotesIgnoringCaseAndDropsTheOldestWhenFull) {
  MruList list = ListOf({"/d/a.dat", "/d/b.dat", "/d/c.dat"});
  AddMruName(list, "/D/B.DAT");
  EXPECT_EQ(list.names, (std::vector<std::string>{"/D/B.DAT", "/d/c.dat", "/d/a.dat"}));

  for (int i = 0; i < 10; ++i) AddMruName(list, "/f" + std::to_string(i));
  ASSERT_EQ(MruCount(list), 9u);
  EXPECT_EQ(list.names.front(), "/f9");
  EXPECT_EQ(list.names.back(), "/f1");
}

TEST_F(MruListTest, MenuShowsAtMostSixEntriesThenTheSeparator) {
  EXPECT_TRUE(MruMenuItems(CreateMruList()).empty());

  MruList list = ListOf({"/1", "/2", "/3", "/4", "/5", "/6", "/7", "R&D.dat"});
  const std::vector<MruMenuItem> items = MruMenuItems(list);
  ASSERT_EQ(items.size(), 7u);
  EXPECT_EQ(items[0].commandId, 8001);
  EXPECT_EQ(items[0].label, "&1 R&&D.dat");
  EXPECT_EQ(items[5].commandId, 8006);
  EXPECT_EQ(items[5].label, "&6 /3");
  EXPECT_TRUE(items[6].separator);
  EXPECT_EQ(items[6].commandId, 8000);

  SetMruShownCount(list, 50);
  EXPECT_EQ(list.shown, 9u);
  EXPECT_EQ(MruMenuItems(list).size(), 9u);  // the eight names and the separator
}

TEST_F(MruListTest, LoadStopsAtTheFirstEmptyKeyAndCutsLongNames) {
  const std::string longName = "/" + std::string(5000, 'x');
  WriteFile("[MRU Text]\nFile1=/a.dat\nFile2=" + longName + "\nFile3=\nFile4=/d.dat\n");
  MruList list = ListOf({"/stale"});
  LoadMruList(list, kMruSection, path_);
  ASSERT_EQ(MruCount(list), 2u);
  EXPECT_EQ(list.names[0], "/a.dat");
  EXPECT_EQ(list.names[1], longName.substr(0, kMruWidth - 1));
}

TEST_F(MruListTest, SaveWritesEveryKeyAndKeepsTheRestOfTheFile) {
  WriteFile("[Window]\nLeft=3\n\n[MRU Text]\nFile1=/old\nFile7=/older\n");
  ASSERT_TRUE(SaveMruList(ListOf({"/b.dat", "/a.dat"}), kMruSection, path_));
  EXPECT_EQ(ReadFile(),
            "[Window]\nLeft=3\n\n[MRU Text]\nFile1=/a.dat\nFile7=\nFile2=/b.dat\nFile3=\nFile4=\n"
            "File5=\nFile6=\nFile8=\nFile9=\n");

  MruList loaded = CreateMruList();
  LoadMruList(loaded, kMruSection, path_);
  EXPECT_EQ(loaded.names, (std::vector<std::string>{"/a.dat", "/b.dat"}));
}

TEST_F(MruListTest, ChoosingAnEntryWhoseFileIsGoneRemovesIt) {
  const std::string present = (folder_ / "present.dat").string();
  std::ofstream(present) << "1 2\n";
  const std::string missing = (folder_ / "missing.dat").string();
  MruList list = CreateMruList();
  AddMruName(list, present);
  AddMruName(list, missing);

  EXPECT_FALSE(ChooseMruEntry(list, 8000));  // the separator
  EXPECT_FALSE(ChooseMruEntry(list, 8003));  // past the last entry
  EXPECT_EQ(MruCount(list), 2u);
  EXPECT_FALSE(ChooseMruEntry(list, 8001));
  EXPECT_EQ(list.names, std::vector<std::string>{present});
  EXPECT_EQ(ChooseMruEntry(list, 8001), present);

  // The predicate form decides by what it is told, not by the disk.
  EXPECT_FALSE(ChooseMruEntry(list, 8001, [](const std::string&) { return false; }));
  EXPECT_EQ(MruCount(list), 0u);
}

}  // namespace
}  // namespace trendolin
