// The model information window: opening (one at a time), its pages in a
// selector, and the commands of its buttons.
#include "gui/info_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"
#include "gui/graph_window.h"
#include "gui/info_residuals.h"
#include "platform/debug_log.h"
#include "platform/ui.h"
#include "session/report_copy.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

// Debug bit that shows the button bringing the graph window up, for finding
// a graph whose window was left hidden.
constexpr unsigned kShowGraphButtonDebugBit = 8;

struct PageInfo {
  ReportPage page;
  const char* title;
  const char* helpTopic;
};
constexpr PageInfo kPages[] = {
    {ReportPage::Coefficients, "Coefficients", "graphiinfo.html#coefficients"},
    {ReportPage::History, "History", "graphiinfo.html#history"},
    {ReportPage::Covariance, "Covariance Matrix", "graphiinfo.html#covariancematrix"},
    {ReportPage::Residuals, "Residuals", "graphiinfo.html#residuals"},
    {ReportPage::Comments, "Comments", "graphiinfo.html#comments"},
    {ReportPage::Statistics, "Statistics", "graphiinfo.html#statistics"},
};

}  // namespace

const char* InfoPageHelpTopic(ReportPage page) {
  for (const PageInfo& info : kPages) {
    if (info.page == page) return info.helpTopic;
  }
  return kPages[0].helpTopic;
}

InfoWindow::InfoWindow(CurveFit& doc, GraphWindow& owner)
    : QDialog(&owner), doc_(doc), owner_(&owner), modelId_(owner.Record()->modelId) {
  setObjectName(QStringLiteral("ModelInformation"));
  // The count is a byte: the 256th window wraps it to 0 and is let in.
  refused_ = CurrentSession().infoWindowsOpen++ != 0;
  if (refused_) return;

  setWindowTitle(QString::fromUtf8(kInfoTitle).arg(owner.windowTitle()));
  texts_ = BuildModelInfoTexts(doc_, modelId_);
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("pages"));
  // The residual graph comes before the pages that show it.
  PrepareResidualGraph();
  pages_->addTab(BuildCoefficientsPage(), QString::fromUtf8(kPages[0].title));
  pages_->addTab(BuildHistoryPage(), QString::fromUtf8(kPages[1].title));
  pages_->addTab(BuildCovariancePage(), QString::fromUtf8(kPages[2].title));
  pages_->addTab(BuildResidualsPage(), QString::fromUtf8(kPages[3].title));
  pages_->addTab(BuildCommentsPage(), QString::fromUtf8(kPages[4].title));
  pages_->addTab(BuildStatisticsPage(), QString::fromUtf8(kPages[5].title));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  BuildButtons();
  resize(660, 480);
}

InfoWindow::~InfoWindow() {
  // The residual window goes before the record it shows.
  delete residualWindow_;
  residualWindow_ = nullptr;
  --CurrentSession().infoWindowsOpen;
}

void InfoWindow::BuildButtons() {
  auto* row = new QHBoxLayout;
  auto add = [this, row](const char* text, const char* name, int id) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, id] { Command(id); });
    row->addWidget(button);
    return button;
  };
  QPushButton* showGraph = add("&Show Graph", "showGraph", kInfoShowGraph);
  showGraph->setVisible((DebugFlags & kShowGraphButtonDebugBit) != 0);
  row->addStretch(1);
  add("&Copy", "copy", kInfoCopy);
  add("&Help", "help", kInfoHelp);
  QPushButton* close = add("Close", "close", kInfoClose);
  close->setDefault(true);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

int InfoWindow::Run() {
  if (refused_) {
    platform::ResourceMessageBox(kInfoAlreadyOpenCaption, kInfoAlreadyOpenText, platform::Icon::Error,
                                 platform::Buttons::Ok);
    return Rejected;
  }
  return exec();
}

ReportPage InfoWindow::CurrentPage() const {
  return pages_ ? kPages[std::max(0, pages_->currentIndex())].page : ReportPage::Coefficients;
}

void InfoWindow::SetCurrentPage(ReportPage page) {
  for (int i = 0; i < PageCount(); ++i) {
    if (kPages[i].page == page) pages_->setCurrentIndex(i);
  }
}

int InfoWindow::PageCount() const { return pages_ ? pages_->count() : 0; }

void InfoWindow::Command(int id) {
  switch (id) {
    case kInfoClose: done(kInfoClose); break;
    case kInfoCopy: CopyFitReport(doc_, modelId_, CurrentPage()); break;
    case kInfoHelp: ShowHelp(InfoPageHelpTopic(CurrentPage())); break;
    case kInfoShowGraph: ShowOwner(); break;
    case kInfoPlotToggle: ToggleResidualWindow(); break;
    default: break;
  }
}

void InfoWindow::ShowOwner() {
  if (!owner_) return;
  owner_->showNormal();
  owner_->raise();
}

// The frame's close box and Escape close as the Close button does.
void InfoWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  Command(kInfoClose);
}

void InfoWindow::reject() { Command(kInfoClose); }

void ShowModelInformation(CurveFit& doc, GraphWindow& owner) {
  if (owner.Record() == nullptr) return;
  InfoWindow window(doc, owner);
  window.Run();
}

}  // namespace trendolin::gui
