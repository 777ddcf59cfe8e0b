// The main window's arithmetic and tables: the layout, the placement from
// the settings file, the status-bar parts, and the menus, toolbar and
// accelerators every command is reached through.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/main_layout.h"
#include "app/main_menu.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"

namespace trendolin {
namespace {

MainLayoutInput TypicalWindow() {
  MainLayoutInput in;
  in.width = 800;
  in.height = 600;
  in.statusHeight = 22;
  in.textHeight = 16;
  in.charWidth = 7;
  in.scrollWidth = 17;
  in.dialogBaseX = 6;
  return in;
}

TEST(MainLayoutTest, ChildrenShareTheWindowWithoutOverlapping) {
  const MainLayoutInput in = TypicalWindow();
  const MainLayout l = ComputeMainLayout(in);
  // The right column is at most 40 characters wide and keeps d from the edge.
  EXPECT_EQ(l.listBorder.Width(), 280);
  EXPECT_EQ(l.listBorder.right, in.width - in.textHeight);
  // The grid ends two scroll-bar widths before the right column.
  EXPECT_EQ(l.grid.left, 20);
  EXPECT_EQ(l.grid.right, l.listBorder.left - 2 * in.scrollWidth);
  EXPECT_EQ(l.grid.top, kMainTop);
  EXPECT_EQ(l.grid.bottom, in.height - 2 * in.statusHeight);
  // Headers above the list, the list inside its border, the preview below.
  EXPECT_EQ(l.rankHeader.bottom, l.listBorder.top);
  EXPECT_EQ(l.regressionHeader.left, l.rankHeader.right + 1);
  EXPECT_GT(l.resultsList.left, l.listBorder.left);
  EXPECT_LT(l.resultsList.bottom, l.listBorder.bottom);
  EXPECT_GE(l.preview.top, l.listBorder.bottom);
  EXPECT_EQ(l.preview.Height(), l.listBorder.bottom - kMainTop);
  EXPECT_LE(l.preview.bottom, l.grid.bottom);
}

TEST(MainLayoutTest, RankHeaderGrowsToItsText) {
  MainLayoutInput in = TypicalWindow();
  EXPECT_EQ(ComputeMainLayout(in).rankHeader.Width(), 31);
  in.rankTextWidth = 44;
  const MainLayout wide = ComputeMainLayout(in);
  EXPECT_EQ(wide.rankHeader.Width(), 44);
  EXPECT_EQ(wide.regressionHeader.left, wide.rankHeader.right + 1);
  EXPECT_EQ(wide.regressionHeader.right, wide.listBorder.right - 1);
}

TEST(MainLayoutTest, NarrowWindowsGiveTheRightColumnHalfTheWidth) {
  MainLayoutInput in = TypicalWindow();
  in.width = 500;
  const MainLayout l = ComputeMainLayout(in);
  EXPECT_EQ(l.listBorder.Width(), 500 / 2 - 16 - 17);
  EXPECT_EQ(MainMinimumSize(7, 16, 20, 4, 22).width, 420);
  EXPECT_EQ(MainMinimumSize(7, 16, 20, 4, 22).height, 20 + 2 * (4 + 2 * 24) + kMainTop + 22);
}

TEST(MainLayoutTest, StatusPartsEndWhereTheWidestCharacterSays) {
  const std::array<int, 3> edges = StatusPartEdges(10, 1);
  EXPECT_EQ(edges[0], 219);
  EXPECT_EQ(edges[1], 219 + 39);
  EXPECT_EQ(edges[2], 219 + 78);
}

TEST(MainWindowPlacementTest, FollowsTheStoredRectangleOnlyWhenAskedTo) {
  const platform::ProfileFile stored =
      platform::ProfileFile::Parse("[Window]\nLeft=2500\nTop=40\nRight=700\nBottom=500\n");
  // Off: a default-sized window in the middle, whatever is stored.
  WindowPlacement p = MainWindowPlacement(stored, false, 1920, 1080, 688, 640);
  EXPECT_EQ(p.left, (1920 - 688) / 2);
  EXPECT_EQ(p.top, (1080 - 640) / 2);
  EXPECT_EQ(p.width, 688);
  // On: a stored left beyond the screen is centred again, the size kept.
  p = MainWindowPlacement(stored, true, 1920, 1080, 688, 640);
  EXPECT_EQ(p.left, (1920 - 688) / 2);
  EXPECT_EQ(p.top, 40);
  EXPECT_EQ(p.width, 700);
  EXPECT_EQ(p.height, 500);
  // Nothing stored: centred with the default size; a size of nothing is not kept.
  p = MainWindowPlacement(platform::ProfileFile::Parse("[Window]\nRight=0\n"), true, 1001, 801, 688, 640);
  EXPECT_EQ(p.left, 1001 / 2 - 688 / 2);
  EXPECT_EQ(p.top, 801 / 2 - 640 / 2);
  EXPECT_EQ(p.width, 688);
}

// Stored rectangles from a damaged or hostile settings file: a size in the
// billions, a place far off every screen. The window opens on the desktop.
TEST(MainWindowPlacementTest, AnyStoredRectangleOpensOnTheDesktop) {
  struct Case {
    const char* stored;
    WindowPlacement expected;
  };
  const Case cases[] = {
      {"Left=10\nTop=20\nRight=2147483647\nBottom=2147483647\n", {0, 0, 1280, 900}},
      {"Left=-100000\nTop=-100000\nRight=700\nBottom=500\n", {0, 0, 700, 500}},
      {"Left=1000\nTop=800\nRight=700\nBottom=500\n", {1280 - 700, 900 - 500, 700, 500}},
      {"Left=2147483647\nTop=2147483647\nRight=40000\nBottom=40000\n", {0, 0, 1280, 900}},
      {"Left=-2147483648\nTop=5\nRight=-5\nBottom=-2147483648\n", {0, 5, 688, 640}},
      {"Left=30\nTop=40\nRight=700\nBottom=500\n", {30, 40, 700, 500}},  // a good one is kept
  };
  for (const Case& c : cases) {
    const platform::ProfileFile stored = platform::ProfileFile::Parse(std::string("[Window]\n") + c.stored);
    const WindowPlacement p = MainWindowPlacement(stored, true, 1280, 900, 688, 640);
    EXPECT_EQ(p.left, c.expected.left) << c.stored;
    EXPECT_EQ(p.top, c.expected.top) << c.stored;
    EXPECT_EQ(p.width, c.expected.width) << c.stored;
    EXPECT_EQ(p.height, c.expected.height) << c.stored;
  }
}

TEST(MainWindowPlacementTest, SavingKeepsTheRestOfTheSettingsFile) {
  testsupport::TempDir dir;
  const std::string path = dir.File("REVUZI.INI");
  testsupport::WriteFile(path, "; mine\n[Single-Precision]\nMaxIterations=77\n");
  ASSERT_TRUE(SaveMainWindowPlacement({10, 20, 640, 480}, path));
  const platform::ProfileFile back = platform::ProfileFile::Load(path);
  EXPECT_EQ(back.GetInt("Single-Precision", "MaxIterations", 0), 77);
  EXPECT_EQ(back.GetInt("Window", "Left", 0), 10);
  EXPECT_EQ(back.GetInt("Window", "Right", 0), 640);
  EXPECT_EQ(back.GetInt("Window", "Bottom", 0), 480);
  EXPECT_NE(testsupport::ReadFile(path).find("; mine"), std::string::npos);
}

void Collect(const std::vector<MenuEntry>& entries, std::multimap<int, std::string>& out) {
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntry::Kind::Command) out.emplace(e.command, e.text);
    if (e.kind == MenuEntry::Kind::Submenu) Collect(e.children, out);
  }
}

TEST(MainMenuTest, EveryCommandAppearsOnceWithItsLabel) {
  const std::vector<TopMenu>& bar = MainMenuBar();
  ASSERT_EQ(bar.size(), 8u);
  EXPECT_EQ(bar[0].title, "&File");
  EXPECT_EQ(bar[kApplyFitMenuIndex].title, "&Apply Fit");
  EXPECT_EQ(bar[7].title, "&Help");
  std::multimap<int, std::string> items;
  for (const TopMenu& menu : bar) Collect(menu.entries, items);
  for (int id = 500; id <= 539; ++id) EXPECT_EQ(items.count(id), 1u) << id;
  for (int id = 455; id <= 460; ++id) EXPECT_EQ(items.count(id), 1u) << id;
  const std::map<int, std::string> labels = {
      {499, "&New"},           {496, "Save &as..."},       {490, "E&xit"},
      {485, "&Undo\tCtrl+Z"},  {486, "C&lear\tCtrl+Del"},  {503, "P&lot...\tCtrl+P"},
      {479, "&Manipulate...\tCtrl+D"}, {10017, "&Transform..."}, {466, "C&lear Curvefits"},
      {465, "&Edit Current File.."}, {478, "Fit&Hunter...\tCtrl+F"}, {472, "&Restore all"},
      {462, "Trendolin Home Page"}, {459, "By &Uncertainty"}, {493, "&AutoGuess On"}};
  for (const auto& [command, label] : labels) {
    ASSERT_EQ(items.count(command), 1u) << command;
    EXPECT_EQ(items.find(command)->second, label);
  }
  EXPECT_EQ(MenuTextOf(478), "Fit&Hunter...\tCtrl+F");
  EXPECT_EQ(MenuTextOf(298), "");
}

TEST(MainMenuTest, FamiliesSitAtPositionsFourToNineWithTheirHelp) {
  const std::vector<MenuEntry>& fit = MainMenuBar()[kApplyFitMenuIndex].entries;
  for (int position = 4; position <= 9; ++position) {
    const MenuEntry& family = fit[static_cast<std::size_t>(position)];
    EXPECT_EQ(family.kind, MenuEntry::Kind::Submenu);
    EXPECT_EQ(family.command, 300 + position);
    EXPECT_FALSE(family.children.empty());
  }
}

TEST(MainMenuTest, ToolbarAndAcceleratorsReachTheRightCommands) {
  const std::vector<ToolbarEntry>& bar = MainToolbar();
  ASSERT_EQ(bar.size(), 23u);
  EXPECT_EQ(bar.front().command, 0);
  EXPECT_EQ(bar[bar.size() - 2].command, cmd::kAbort);
  EXPECT_EQ(bar.back().command, cmd::kAccept);
  std::set<int> images;
  for (const ToolbarEntry& e : bar) {
    if (e.command == 0) continue;
    images.insert(e.image);
    EXPECT_FALSE(ToolTipText(e.command).empty()) << e.command;
    EXPECT_LE(ToolTipText(e.command).size(), 39u);
  }
  EXPECT_EQ(images.size(), 18u);  // eighteen buttons, each its own picture
  std::map<std::string, int> keys;
  for (const Accelerator& a : MainAccelerators()) keys[a.keys] = a.command;
  EXPECT_EQ(keys.size(), 14u);
  EXPECT_EQ(keys["Ctrl+O"], cmd::kAccept);
  EXPECT_EQ(keys["Ctrl+S"], cmd::kAbort);
  EXPECT_EQ(keys["Ctrl+E"], cmd::kFitHunter);
  EXPECT_EQ(keys["Ctrl+Del"], cmd::kClear);
}

TEST(MainMenuTest, MenuHelpFallsBackToTheCaption) {
  EXPECT_EQ(MenuHelpText(499), "Start a new, empty data set");
  EXPECT_EQ(MenuHelpText(12345), "Trendolin 1.4");
  EXPECT_LE(MenuHelpText(500).size(), 51u);
}

}  // namespace
}  // namespace trendolin
