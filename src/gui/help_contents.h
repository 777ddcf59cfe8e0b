// The help pages on disk: where they are, the contents tree that the home
// page lists, and the search over their text.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace trendolin::gui {

inline constexpr const char* kHelpHomePage = "index.html";

// The folder of the help pages: TRENDOLIN_HELP_DIR when set, else "help"
// beside the program, else the installed "share/trendolin/help" above it.
// Empty when none of them holds the home page. `searched` receives the
// folders looked in, for the message that says help is missing.
QString HelpFolder(QStringList* searched = nullptr);

// One entry of the contents: a title, the page (with its anchor, if any) and
// the entries under it.
struct HelpContentsEntry {
  QString title;
  QString target;  // a page, or a page#anchor
  std::vector<HelpContentsEntry> children;
};

// The nested list `<ul class="contents">` of the home page, as a tree. Any
// other markup of the page is passed over.
std::vector<HelpContentsEntry> ParseHelpContents(const QString& html);

// The text of every page, read once, for the search.
struct HelpPageText {
  QString file;   // the page's file name
  QString title;  // the page's <title>
  QString text;   // the page as plain text
};
std::vector<HelpPageText> ReadHelpPages(const QString& folder);

// The pages holding every word of `query` (case does not matter), the most
// hits first, a hit in the title counting for many in the text.
std::vector<const HelpPageText*> SearchHelpPages(const std::vector<HelpPageText>& pages, const QString& query);

}  // namespace trendolin::gui
