// The help pages and their window: every topic the program opens is there
// with its anchor, no page is left out of the contents, no link inside the
// pages is broken; and the window shows topics, goes back and forward,
// searches, and can be used from inside a modal dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QListWidget>
#include <QRegularExpression>
#include <QTimer>
#include <QTextBrowser>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "gui/dialogs/dialog_kit.h"
#include "gui/help_contents.h"
#include "gui/help_viewer.h"
#include "modal_helpers.h"
#include "platform/headless_ui.h"
#include "platform/ui.h"
#include "support/temp_dir.h"

namespace trendolin::gui {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = TRENDOLIN_SOURCE_DIR;
const fs::path kHelp = kSource / "help";

std::string Read(const fs::path& path) { return testsupport::ReadFile(path.string()); }

// The anchors a page defines (<a name="...">).
std::set<std::string> AnchorsOf(const std::string& html) {
  std::set<std::string> anchors;
  static const std::regex name(R"re(<a\s[^>]*name\s*=\s*"([^"]+)")re", std::regex::icase);
  for (std::sregex_iterator it(html.begin(), html.end(), name), end; it != end; ++it) anchors.insert((*it)[1]);
  return anchors;
}

// Every "page.html" and "page.html#anchor" written in the program's sources,
// with the file that names it.
std::multimap<std::string, std::string> TopicsNamedByTheProgram() {
  std::multimap<std::string, std::string> topics;
  static const std::regex topic(R"re("([A-Za-z0-9_]+\.html(#[A-Za-z0-9_]+)?)")re");
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kSource / "src")) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".cpp" && ext != ".h") continue;
    const std::string text = Read(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), topic), end; it != end; ++it) {
      topics.emplace((*it)[1], entry.path().lexically_relative(kSource).string());
    }
  }
  return topics;
}

// Splits "page.html#anchor".
std::pair<std::string, std::string> Split(const std::string& topic) {
  const std::size_t hash = topic.find('#');
  if (hash == std::string::npos) return {topic, {}};
  return {topic.substr(0, hash), topic.substr(hash + 1)};
}

std::string Missing(const std::string& topic) {
  const auto [page, anchor] = Split(topic);
  if (!fs::is_regular_file(kHelp / page)) return "no page " + page;
  if (!anchor.empty() && AnchorsOf(Read(kHelp / page)).count(anchor) == 0) return "no anchor " + topic;
  return {};
}

void CollectTargets(const std::vector<HelpContentsEntry>& entries, std::set<std::string>& pages) {
  for (const HelpContentsEntry& e : entries) {
    pages.insert(Split(e.target.toStdString()).first);
    CollectTargets(e.children, pages);
  }
}

TEST(HelpPagesTest, EveryTopicTheProgramOpensIsThere) {
  const auto topics = TopicsNamedByTheProgram();
  ASSERT_GT(topics.size(), 30u);  // the scan itself works
  for (const auto& [topic, file] : topics) EXPECT_EQ(Missing(topic), "") << "named in " << file;
}

TEST(HelpPagesTest, EveryPageIsInTheContentsAndEveryLinkLeadsSomewhere) {
  const std::vector<HelpContentsEntry> contents =
      ParseHelpContents(QString::fromStdString(Read(kHelp / kHelpHomePage)));
  ASSERT_FALSE(contents.empty());
  std::set<std::string> listed{kHelpHomePage};
  CollectTargets(contents, listed);

  static const std::regex href(R"re(href\s*=\s*"([^"]*)")re", std::regex::icase);
  int pages = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(kHelp)) {
    if (entry.path().extension() != ".html") continue;
    ++pages;
    const std::string file = entry.path().filename().string();
    EXPECT_TRUE(listed.count(file)) << file << " is not in the contents";
    const std::string html = Read(entry.path());
    EXPECT_NE(html.find("<title>"), std::string::npos) << file << " has no title";
    for (std::sregex_iterator it(html.begin(), html.end(), href), end; it != end; ++it) {
      std::string target = (*it)[1];
      if (target.rfind("http:", 0) == 0 || target.rfind("https:", 0) == 0 || target.rfind("mailto:", 0) == 0) {
        ADD_FAILURE() << file << " links outside the pages: " << target;
        continue;
      }
      if (!target.empty() && target[0] == '#') target = file + target;
      EXPECT_EQ(Missing(target), "") << "link in " << file;
    }
  }
  for (const std::string& page : listed) EXPECT_TRUE(fs::is_regular_file(kHelp / page)) << page << " is listed";
  EXPECT_GT(pages, 30);
}

TEST(HelpContentsTest, NestedListsBecomeATree) {
  const auto tree = ParseHelpContents(QStringLiteral(
      "<p><a href=\"x.html\">not listed</a></p><ul class=\"contents\">"
      "<li><a href=\"a.html\">A <b>page</b></a><ul><li><a href=\"a.html#one\">One</a>"
      "<ul><li><a href=\"deep.html\">Deep</a></li></ul></li><li><a href=\"b.html\">B</a></li></ul></li>"
      "<li><a href=\"c.html\">C</a></li></ul><ul><li><a href=\"after.html\">after</a></li></ul>"));
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree[0].title, QStringLiteral("A page"));
  ASSERT_EQ(tree[0].children.size(), 2u);
  EXPECT_EQ(tree[0].children[0].target, QStringLiteral("a.html#one"));
  ASSERT_EQ(tree[0].children[0].children.size(), 1u);
  EXPECT_EQ(tree[0].children[0].children[0].target, QStringLiteral("deep.html"));
  EXPECT_EQ(tree[0].children[1].target, QStringLiteral("b.html"));
  EXPECT_EQ(tree[1].target, QStringLiteral("c.html"));
}

class HelpViewerTest : public ::testing::Test {
 protected:
  platform::HeadlessUi ui_;
  platform::ScopedUi installed_{ui_};
  testsupport::ScopedEnv folder_{"TRENDOLIN_HELP_DIR", kHelp.string()};

  HelpViewer* Viewer() { return CurrentHelpViewer(); }
  QString File() const {
    return QFileInfo(CurrentHelpViewer()->Browser()->source().toLocalFile()).fileName();
  }
};

TEST_F(HelpViewerTest, ShowsTopicsGoesBackAndForwardAndSearches) {
  ShowHelp("graphprops.html#xyaxis");
  ASSERT_NE(Viewer(), nullptr);
  EXPECT_TRUE(Viewer()->isVisible());
  EXPECT_EQ(File(), QStringLiteral("graphprops.html"));
  EXPECT_EQ(Viewer()->Browser()->source().fragment(), QStringLiteral("xyaxis"));
  EXPECT_TRUE(Viewer()->windowTitle().startsWith(QStringLiteral("Trendolin Help - ")));
  ASSERT_NE(Viewer()->Contents()->currentItem(), nullptr);
  EXPECT_TRUE(Viewer()->Contents()->currentItem()->data(0, Qt::UserRole).toString().startsWith(
      QStringLiteral("graphprops.html")));

  ShowHelpContents();
  EXPECT_EQ(File(), QString::fromLatin1(kHelpHomePage));
  Viewer()->Browser()->backward();
  EXPECT_EQ(File(), QStringLiteral("graphprops.html"));
  Viewer()->Browser()->forward();
  EXPECT_EQ(File(), QString::fromLatin1(kHelpHomePage));

  ShowHelpSearch();
  EXPECT_GT(Viewer()->Search(QStringLiteral("divergence limit")), 0);
  EXPECT_EQ(Viewer()->Search(QStringLiteral("zzqqxj")), 0);
  ASSERT_GT(Viewer()->Search(QStringLiteral("Weighting")), 0);
  Viewer()->Results()->setCurrentRow(0);
  emit Viewer()->Results()->itemActivated(Viewer()->Results()->item(0));
  EXPECT_TRUE(Viewer()->Browser()->textCursor().hasSelection());

  // A topic the pages lack is told, and the contents shown instead.
  ui_.ClearEvents();
  ShowHelp("nosuchpage.html");
  ASSERT_EQ(ui_.EventsOf(platform::UiEvent::Kind::MessageBox).size(), 1u);
  EXPECT_EQ(File(), QString::fromLatin1(kHelpHomePage));
}

// Asked from a modal dialog, the window sits above it (the dialog does not
// shut it out) and stays open on its own when the dialog closes.
TEST_F(HelpViewerTest, UsableFromAModalDialogAndOutlivesIt) {
  QDialog dialog;
  QPointer<QWidget> parentWhileOpen;
  testsupport::WhenModal<QDialog>([&](QDialog* d) {
    ShowHelp("regoptions.html");
    if (Viewer()) parentWhileOpen = Viewer()->parentWidget();
    d->reject();
  });
  dialog.exec();
  EXPECT_EQ(parentWhileOpen.data(), &dialog);
  ASSERT_NE(Viewer(), nullptr);
  EXPECT_EQ(Viewer()->parentWidget(), nullptr);
  EXPECT_TRUE(Viewer()->isVisible());
  EXPECT_EQ(File(), QStringLiteral("regoptions.html"));

  // Closed by the person while the dialog is open, it stays closed after.
  QDialog another;
  testsupport::WhenModal<QDialog>([&](QDialog* d) {
    ShowHelp("appoptions.html");
    Viewer()->close();
    d->reject();
  });
  another.exec();
  EXPECT_FALSE(Viewer()->isVisible());
}

// F1 in a dialog presses its Help button.
TEST_F(HelpViewerTest, F1InADialogOpensItsTopic) {
  InstallHelpKey();
  QDialog dialog;
  auto* layout = new QVBoxLayout(&dialog);
  auto* field = new QLineEdit;
  layout->addWidget(field);
  layout->addWidget(MakeDialogButtons(&dialog, "fithunter.html#score"));
  dialog.show();
  field->setFocus();
  QTest::keyClick(field, Qt::Key_F1);
  ASSERT_NE(Viewer(), nullptr);
  EXPECT_EQ(File(), QStringLiteral("fithunter.html"));
  EXPECT_EQ(Viewer()->Browser()->source().fragment(), QStringLiteral("score"));
}

// The program ends with its last window, open help or not.
TEST_F(HelpViewerTest, OpenHelpDoesNotKeepTheProgramRunning) {
  QWidget main;
  main.show();
  ShowHelp("index.html");
  ASSERT_TRUE(Viewer()->isVisible());
  // The application's loop ends when the main window closes; were the help
  // window holding it open, the fallback would have to end it.
  bool heldOpen = false;
  QObject guard;
  QTimer::singleShot(0, &main, [&main] { main.close(); });
  QTimer::singleShot(3000, &guard, [&heldOpen] {
    heldOpen = true;
    QCoreApplication::quit();
  });
  QCoreApplication::exec();
  EXPECT_FALSE(heldOpen);
}

TEST(HelpFolderTest, MissingPagesNameWhereTheyWereLookedFor) {
  testsupport::TempDir empty;
  testsupport::ScopedEnv folder("TRENDOLIN_HELP_DIR", empty.Path());
  QStringList searched;
  // The test program has no help folder beside it.
  EXPECT_TRUE(HelpFolder(&searched).isEmpty());
  ASSERT_FALSE(searched.isEmpty());
  EXPECT_EQ(searched.front(), QString::fromStdString(empty.Path()));
  testsupport::WriteFile(empty.File("index.html"), "<html><title>x</title></html>");
  EXPECT_EQ(HelpFolder(), QDir(QString::fromStdString(empty.Path())).absolutePath());
}

}  // namespace
}  // namespace trendolin::gui
