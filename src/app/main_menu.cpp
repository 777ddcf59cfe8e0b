#include "app/main_menu.h"

#include <string_view>

#include "data/curve_fit.h"
#include "fit/model_desc.h"
#include "platform/resource_strings.h"

namespace trendolin {
namespace {

using Kind = MenuEntry::Kind;

MenuEntry Item(int command, std::string text, bool checkable = false) {
  return {Kind::Command, command, std::move(text), checkable, {}};
}
MenuEntry Separator() { return {Kind::Separator, 0, {}, false, {}}; }
MenuEntry Submenu(std::string text, std::vector<MenuEntry> children, int help = 0) {
  return {Kind::Submenu, help, std::move(text), false, std::move(children)};
}
MenuEntry Model(int id) { return Item(id, CatalogueEntryOf(id)->menuLabel); }

std::vector<MenuEntry> ModelsOfFamily(int classMask) {
  std::vector<MenuEntry> items;
  for (const CatalogueEntry& entry : Catalogue()) {
    if (entry.classMask == classMask && entry.kind == FIT_NONLINEAR) items.push_back(Model(entry.id));
  }
  return items;
}

std::vector<TopMenu> BuildMenuBar() {
  std::vector<TopMenu> bar;
  bar.push_back({"&File",
                 {Item(cmd::kNew, "&New"), Item(cmd::kOpen, "&Open..."), Item(cmd::kSave, "&Save"),
                  Item(cmd::kSaveAs, "Save &as..."), Separator(), Item(cmd::kExport, "&Export..."), Separator(),
                  Item(cmd::kPrint, "&Print..."), Item(cmd::kPrintSetup, "P&rint setup..."), Separator(),
                  Item(cmd::kExit, "E&xit")}});
  bar.push_back({"&Edit",
                 {Item(cmd::kUndo, "&Undo\tCtrl+Z"), Item(cmd::kRedo, "&Redo\tCtrl+Y"), Separator(),
                  Item(cmd::kCut, "&Cut\tCtrl+X"), Item(cmd::kCopy, "&Copy\tCtrl+C"),
                  Item(cmd::kPaste, "&Paste\tCtrl+V"), Item(cmd::kClear, "C&lear\tCtrl+Del"), Separator(),
                  Item(cmd::kSelectAll, "&Select All\tCtrl+A")}});
  bar.push_back({"&Data",
                 {Item(cmd::kPlot, "P&lot...\tCtrl+P"), Separator(), Item(cmd::kManipulate, "&Manipulate...\tCtrl+D"),
                  Item(cmd::kTransform, "&Transform..."), Separator(), Item(cmd::kReexamine, "Re&examine"),
                  Item(cmd::kInformation, "&Information...")}});
  bar.push_back({"&Interpolate", {Model(kLagrangeModel), Separator(), Model(kLinearSplineModel), Model(kQuadraticSplineModel),
                                 Model(kCubicSplineModel), Model(kTensionSplineModel)}});

  // Apply Fit: the families sit at positions 4 to 9, which the status bar's
  // help for submenus relies on.
  std::vector<MenuEntry> fit = {Model(kLinearModel), Model(kQuadraticModel), Model(kPolynomialModel), Separator()};
  int help = 304;
  for (const ModelFamily& family : ModelFamilies()) {
    fit.push_back(Submenu(family.menuLabel, ModelsOfFamily(family.classMask), help++));
  }
  fit.push_back(Separator());
  fit.push_back(Model(kUserModel));
  fit.push_back(Separator());
  fit.push_back(Submenu("&Weighting",
                        {Item(460, "None", true), Item(459, "By &Uncertainty", true), Item(458, "By X", true),
                         Item(457, "By &X^2", true), Item(456, "By Y", true), Item(455, "By &Y^2", true)}));
  fit.push_back(Item(cmd::kAutoGuess, "&AutoGuess On", true));
  bar.push_back({"&Apply Fit", std::move(fit)});

  bar.push_back({"&Tools",
                 {Item(cmd::kCalculateGroups, "&Calculate Groups...\tCtrl+G"),
                  Item(cmd::kFitHunter, "Fit&Hunter...\tCtrl+F"), Separator(),
                  Item(cmd::kClearCurvefits, "C&lear Curvefits"), Separator(),
                  Item(cmd::kViewHistory, "&View History File..."),
                  Item(cmd::kEditCurrentFile, "&Edit Current File.."), Separator(),
                  Item(cmd::kOptions, "&Options...")}});
  bar.push_back({"&Window",
                 {Item(cmd::kTile, "&Tile"), Item(cmd::kCascade, "&Cascade"), Separator(),
                  Item(cmd::kRefreshAll, "Re&fresh All"), Item(cmd::kRestoreAll, "&Restore all"),
                  Item(cmd::kMinimizeAll, "&Minimize All"), Separator(), Item(cmd::kCloseAll, "C&lose All")}});
  bar.push_back({"&Help",
                 {Item(cmd::kHelpContents, "&Contents...\tF1"), Item(cmd::kHelpSearch, "&Search...\tF2"),
                  Submenu("&Internet", {Item(cmd::kHomePage, "Trendolin Home Page")}), Separator(),
                  Item(cmd::kAbout, "&About...")}});
  return bar;
}

std::string Clip(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, std::min(text.size(), limit)));
}

const MenuEntry* FindEntry(const std::vector<MenuEntry>& entries, int command) {
  for (const MenuEntry& e : entries) {
    if (e.kind == Kind::Command && e.command == command) return &e;
    if (e.kind == Kind::Submenu) {
      if (const MenuEntry* found = FindEntry(e.children, command)) return found;
    }
  }
  return nullptr;
}

}  // namespace

const std::vector<TopMenu>& MainMenuBar() {
  static const std::vector<TopMenu> bar = BuildMenuBar();
  return bar;
}

std::string MenuHelpText(int command) {
  const std::string_view text = platform::ResourceString(command);
  if (text.empty()) return kAppCaption;
  return Clip(text, 51);
}

std::string ToolTipText(int command) { return Clip(platform::ResourceString(command + 1500), 39); }

const std::vector<ToolbarEntry>& MainToolbar() {
  static const std::vector<ToolbarEntry> bar = {
      {0, -1},       {cmd::kNew, 3},   {cmd::kOpen, 4},  {cmd::kSave, 5},  {cmd::kPrint, 6},
      {0, -1},       {cmd::kCut, 0},   {cmd::kCopy, 1},  {cmd::kPaste, 2}, {cmd::kUndo, 17},
      {cmd::kRedo, 18}, {0, -1},       {kLinearModel, 9}, {kQuadraticModel, 10}, {kPolynomialModel, 11},
      {kUserModel, 14},     {cmd::kFitHunter, 12}, {cmd::kAutoGuess, 13, true}, {0, -1}, {cmd::kHelpContents, 7},
      {0, -1},       {cmd::kAbort, 15}, {cmd::kAccept, 16},
  };
  return bar;
}

const std::vector<Accelerator>& MainAccelerators() {
  static const std::vector<Accelerator> keys = {
      {"Ctrl+Del", cmd::kClear}, {"Ctrl+A", cmd::kSelectAll},     {"Ctrl+C", cmd::kCopy},
      {"Ctrl+D", cmd::kManipulate}, {"Ctrl+E", cmd::kFitHunter}, {"Ctrl+F", cmd::kFitHunter},
      {"Ctrl+G", cmd::kCalculateGroups}, {"Ctrl+O", cmd::kAccept}, {"Ctrl+P", cmd::kPlot},
      {"Ctrl+S", cmd::kAbort},   {"Ctrl+V", cmd::kPaste},         {"Ctrl+X", cmd::kCut},
      {"Ctrl+Y", cmd::kRedo},    {"Ctrl+Z", cmd::kUndo},
  };
  return keys;
}

std::string MenuTextOf(int command) {
  for (const TopMenu& menu : MainMenuBar()) {
    if (const MenuEntry* e = FindEntry(menu.entries, command)) return e->text;
  }
  return {};
}

}  // namespace trendolin
