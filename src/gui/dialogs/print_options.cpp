// The graph's print options and the print-to-PDF file dialog.
#include "gui/dialogs/print_options.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"

namespace trendolin::gui {
namespace {

constexpr const char* kGraphPrintHelp = "graphprint.html";
constexpr const char* kDataPrintHelp = "printing.html";

}  // namespace

GraphPrintOptions::GraphPrintOptions(bool colour, bool ownHelp, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("graphPrintOptions"));
  setWindowTitle(QStringLiteral("Graph"));
  auto* group = new QGroupBox(QStringLiteral("Print the graph in"), this);
  monochrome_ = new QRadioButton(QStringLiteral("&Monochrome"), group);
  monochrome_->setObjectName(QStringLiteral("1025"));
  colour_ = new QRadioButton(QStringLiteral("C&olour"), group);
  colour_->setObjectName(QStringLiteral("1026"));
  (colour ? colour_ : monochrome_)->setChecked(true);
  auto* choices = new QHBoxLayout(group);
  choices->addWidget(monochrome_);
  choices->addWidget(colour_);
  choices->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(group);
  if (ownHelp) {
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("1038"));
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(kGraphPrintHelp); });
    layout->addWidget(help, 0, Qt::AlignLeft);
  }
  layout->addStretch(1);
}

bool GraphPrintOptions::Monochrome() const { return monochrome_->isChecked(); }

PrintToPdfDialog::PrintToPdfDialog(const QString& initialPath, const std::optional<bool>& graphOptions,
                                   QWidget* parent)
    : PanelFileDialog(PanelFileDialogSetup{QString::fromLatin1(kPrintToPdfTitle),
                                           {QStringLiteral("PDF document (*.pdf)")}, QStringLiteral("pdf"),
                                           graphOptions ? kGraphPrintHelp : kDataPrintHelp, QString()},
                      parent) {
  setObjectName(QStringLiteral("printToPdf"));
  const QFileInfo proposed(initialPath);
  if (proposed.dir().exists()) setDirectory(proposed.dir());
  selectFile(proposed.fileName());
  if (graphOptions) {
    options_ = new GraphPrintOptions(*graphOptions, false, Panel());
    auto* layout = new QVBoxLayout(Panel());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(options_);
    SetPanelTabOrder({options_->MonochromeButton(), options_->ColourButton()});
  }
}

}  // namespace trendolin::gui
