#include "gui/help_contents.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <algorithm>

namespace trendolin::gui {
namespace {

constexpr int kTitleWeight = 10;

bool HoldsHome(const QString& folder) {
  return !folder.isEmpty() && QFileInfo(QDir(folder).filePath(QString::fromLatin1(kHelpHomePage))).isFile();
}

QString TextOf(const QString& html) { return QTextDocumentFragment::fromHtml(html).toPlainText().simplified(); }

}  // namespace

QString HelpFolder(QStringList* searched) {
  QStringList candidates;
  const QString custom = qEnvironmentVariable("TRENDOLIN_HELP_DIR");
  if (!custom.isEmpty()) candidates << custom;
  const QString programFolder = QCoreApplication::applicationDirPath();
  candidates << QDir(programFolder).filePath(QStringLiteral("help"))
             << QDir::cleanPath(programFolder + QStringLiteral("/../share/trendolin/help"));
  if (searched) *searched = candidates;
  for (const QString& folder : candidates) {
    if (HoldsHome(folder)) return QDir(folder).absolutePath();
  }
  return {};
}

std::vector<HelpContentsEntry> ParseHelpContents(const QString& html) {
  std::vector<HelpContentsEntry> roots;
  const qsizetype start = html.indexOf(QRegularExpression(QStringLiteral(R"re(<ul\s+class\s*=\s*"contents"\s*>)re"),
                                                          QRegularExpression::CaseInsensitiveOption));
  if (start < 0) return roots;
  // The markup that shapes the tree: lists opening and closing, and links.
  static const QRegularExpression token(
      QStringLiteral(R"re(<ul\b[^>]*>|</ul\s*>|<a\s[^>]*href\s*=\s*"([^"]*)"[^>]*>(.*?)</a\s*>)re"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  // The entry each open list adds to: the roots, or the last entry of the
  // list around it.
  std::vector<std::vector<HelpContentsEntry>*> open;
  std::vector<HelpContentsEntry>* lastList = &roots;
  for (auto it = token.globalMatch(html, start); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    const QString tag = m.captured(0);
    if (tag.startsWith(QStringLiteral("</"))) {
      open.pop_back();
      if (open.empty()) break;  // the contents list has ended
      lastList = open.back();
    } else if (tag.startsWith(QStringLiteral("<ul"), Qt::CaseInsensitive)) {
      // A list inside an entry holds that entry's children.
      std::vector<HelpContentsEntry>* list =
          open.empty() ? &roots : (lastList->empty() ? lastList : &lastList->back().children);
      open.push_back(list);
      lastList = list;
    } else if (!open.empty()) {
      open.back()->push_back(HelpContentsEntry{TextOf(m.captured(2)), m.captured(1), {}});
      lastList = open.back();
    }
  }
  return roots;
}

std::vector<HelpPageText> ReadHelpPages(const QString& folder) {
  std::vector<HelpPageText> pages;
  static const QRegularExpression titleTag(QStringLiteral("<title>(.*?)</title>"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
  const QStringList files = QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
  for (const QString& file : files) {
    QFile f(QDir(folder).filePath(file));
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QString html = QString::fromUtf8(f.readAll());
    const QRegularExpressionMatch title = titleTag.match(html);
    pages.push_back(HelpPageText{file, title.hasMatch() ? TextOf(title.captured(1)) : file, TextOf(html)});
  }
  return pages;
}

std::vector<const HelpPageText*> SearchHelpPages(const std::vector<HelpPageText>& pages, const QString& query) {
  const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  std::vector<std::pair<long, const HelpPageText*>> hits;
  if (words.isEmpty()) return {};
  for (const HelpPageText& page : pages) {
    long score = 0;
    bool all = true;
    for (const QString& word : words) {
      const long inText = page.text.count(word, Qt::CaseInsensitive);
      const long inTitle = page.title.count(word, Qt::CaseInsensitive);
      if (inText + inTitle == 0) {
        all = false;
        break;
      }
      score += inText + kTitleWeight * inTitle;
    }
    if (all) hits.emplace_back(score, &page);
  }
  std::stable_sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<const HelpPageText*> result;
  for (const auto& hit : hits) result.push_back(hit.second);
  return result;
}

}  // namespace trendolin::gui
