#include "gui/dialogs/export_dialog.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include "data/curve_fit.h"
#include "gui/dialogs/dialog_kit.h"

namespace trendolin::gui {
namespace {

PanelFileDialogSetup ExportSetup(const QString& initialPath) {
  PanelFileDialogSetup setup;
  setup.title = QString::fromLatin1(kExportDialogTitle);
  // Like the data-file dialogs, each pattern in either case.
  setup.filters = {QStringLiteral("Text Files (*.txt *.TXT)"), QStringLiteral("Data Files (*.dat *.DAT)"),
                   QStringLiteral("All Files (*)")};
  setup.defaultSuffix = QString::fromLatin1(kExportDefaultExtension);
  setup.helpTopic = kExportHelpTopic;
  setup.initialPath = initialPath;
  return setup;
}

}  // namespace

void RunExportCommand(QWidget* parent, CurveFit& doc) {
  QString path;
  for (;;) {
    ExportDialog dialog(doc, InitialExportOptions(doc), path, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::string chosen = dialog.ChosenPath();
    // No model chosen: the warning has been shown and the command starts
    // again, on the name the person typed.
    if (ExportToFile(doc, chosen, dialog.Options()) != ExportOutcome::NoModel) return;
    path = FromUtf8(chosen);
  }
}

ExportDialog::ExportDialog(CurveFit& doc, const ExportOptions& options, const QString& initialPath, QWidget* parent)
    : PanelFileDialog(ExportSetup(initialPath), parent), doc_(doc), options_(options) {
  setObjectName(QStringLiteral("exportDialog"));
  BuildPanel();
}

void ExportDialog::BuildPanel() {
  auto* group = new QGroupBox(QStringLiteral("Export options"), Panel());
  auto* grid = new QGridLayout(group);

  modelButton_ = new QPushButton(QStringLiteral("Fitted &model"), group);
  modelButton_->setObjectName(QStringLiteral("modelButton"));
  modelButton_->setAutoDefault(false);
  modelText_ = new QLabel(group);
  modelText_->setObjectName(QStringLiteral("modelText"));
  modelText_->setMinimumWidth(modelText_->fontMetrics().horizontalAdvance(QString(32, QLatin1Char('x'))));

  auto* menu = new QMenu(modelButton_);
  menu->setObjectName(QStringLiteral("modelMenu"));
  auto* models = new QActionGroup(menu);
  models->setExclusive(true);
  for (const ExportModelEntry& entry : ExportModelMenu(doc_)) {
    QAction* action = menu->addAction(FromUtf8(entry.name));
    action->setData(entry.model);
    action->setCheckable(true);
    models->addAction(action);
    const int model = entry.model;
    connect(action, &QAction::triggered, this, [this, model] { ChooseModel(model); });
  }
  modelButton_->setMenu(menu);
  modelButton_->setEnabled(!menu->isEmpty());

  coefficients_ = new QCheckBox(QStringLiteral("Include &coefficients"), group);
  coefficients_->setObjectName(QStringLiteral("coefficients"));
  coefficients_->setChecked(options_.includeCoefficients != 0);
  statistics_ = new QCheckBox(QStringLiteral("Include s&tatistics"), group);
  statistics_->setObjectName(QStringLiteral("statistics"));
  statistics_->setChecked(options_.includeStatistics != 0);
  separator_ = new SeparatorButton(options_.separator, group);

  grid->addWidget(modelButton_, 0, 0);
  grid->addWidget(modelText_, 0, 1, 1, 2);
  grid->addWidget(coefficients_, 1, 0);
  grid->addWidget(statistics_, 1, 1);
  grid->addWidget(separator_, 2, 0);
  grid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(Panel());
  layout->setContentsMargins(0, 0, 0, 0);
  kindRow_ = new QHBoxLayout;
  kindRow_->setObjectName(QStringLiteral("exportKindRow"));
  layout->addLayout(kindRow_);
  layout->addWidget(group);

  SetPanelTabOrder({modelButton_, coefficients_, statistics_, separator_});
  ChooseModel(options_.model);
}

void ExportDialog::ChooseModel(int model) {
  options_.model = model;
  for (QAction* action : modelButton_->menu()->actions()) action->setChecked(action->data().toInt() == model);
  modelText_->setText(FromUtf8(ExportModelText(doc_, options_)));
}

bool ExportDialog::AcceptPanel() {
  options_.includeCoefficients = coefficients_->isChecked() ? 1 : 0;
  options_.includeStatistics = statistics_->isChecked() ? 1 : 0;
  options_.separator = separator_->Separator();
  return true;
}

}  // namespace trendolin::gui
