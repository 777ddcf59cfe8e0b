#include "gui/dialogs/table_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "graph/graph_attr.h"
#include "gui/dialogs/dialog_kit.h"

namespace trendolin::gui {
namespace {

PanelFileDialogSetup TableSetup() {
  PanelFileDialogSetup setup;
  setup.title = QString::fromLatin1(kTableDialogTitle);
  // Like the data-file dialogs, each pattern in either case.
  setup.filters = {QStringLiteral("Table Files (*.tab *.TAB)"), QStringLiteral("Data Files (*.dat *.DAT)"),
                   QStringLiteral("Text Files (*.txt *.TXT)"), QStringLiteral("All Files (*)")};
  setup.defaultSuffix = QString::fromLatin1(kTableDefaultExtension);
  setup.helpTopic = kTableHelpTopic;
  return setup;
}

}  // namespace

void RunTableCommand(QWidget* parent, CurveFit& doc, const GraphAttr& graph) {
  // The record may change while the dialog is up (the window repaints): the
  // model is taken now.
  const int model = graph.modelId;
  TableDialog dialog(InitialTableOptions(graph.xMin, graph.xMax, graph.xStep), parent);
  if (dialog.exec() != QDialog::Accepted) return;
  GenerateTableFile(doc, dialog.ChosenPath(), model, dialog.Options());
}

TableDialog::TableDialog(const TableOptions& options, QWidget* parent)
    : PanelFileDialog(TableSetup(), parent), options_(options) {
  setObjectName(QStringLiteral("tableDialog"));
  auto* group = new QGroupBox(QStringLiteral("Table of the fit"), Panel());
  auto* grid = new QGridLayout(group);
  const struct {
    int control;
    const char* name;
    const char* label;
    datatype value;
  } fields[] = {{kTableStartField, "startField", "Start &x:", options.startX},
                {kTableEndField, "endField", "&End x:", options.endX},
                {kTableStepField, "stepField", "S&tep:", options.step}};
  int column = 0;
  for (const auto& field : fields) {
    QLineEdit* edit = AddField(field.control, field.name, field.value, group);
    auto* label = new QLabel(QString::fromLatin1(field.label), group);
    label->setBuddy(edit);
    grid->addWidget(label, 0, column++);
    grid->addWidget(edit, 0, column++);
  }
  separator_ = new SeparatorButton(options.separator, group);
  grid->addWidget(separator_, 1, 0, 1, 2, Qt::AlignLeft);

  auto* layout = new QVBoxLayout(Panel());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(group);
  SetPanelTabOrder({start_, end_, step_, separator_});
}

QLineEdit* TableDialog::AddField(int control, const char* name, datatype value, QWidget* parent) {
  auto* edit = new QLineEdit(FromUtf8(TableFieldText(value)), parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(kTableFieldMaxChars);
  (control == kTableStartField ? start_ : control == kTableEndField ? end_ : step_) = edit;
  return edit;
}

QLineEdit* TableDialog::Field(int control) const {
  switch (control) {
    case kTableStartField: return start_;
    case kTableEndField: return end_;
    case kTableStepField: return step_;
    default: return nullptr;
  }
}

bool TableDialog::AcceptPanel() {
  const std::string start = ToUtf8(start_->text());
  const std::string end = ToUtf8(end_->text());
  const std::string step = ToUtf8(step_->text());
  // The beep and the error boxes come from the check itself.
  const TableCheck check = TableDialogOk(start, end, step, separator_->Separator());
  switch (check.verdict) {
    case TableVerdict::Accepted: options_ = check.options; return true;
    case TableVerdict::Refused: return false;
    case TableVerdict::BadField: {
      QLineEdit* field = Field(check.badField);
      if (field == nullptr) return false;
      const std::string& text = field == start_ ? start : field == end_ ? end : step;
      // The position counts bytes; the field counts characters.
      SelectFrom(field, static_cast<int>(FromUtf8(text.substr(0, check.selectFrom)).size()));
      return false;
    }
  }
  return false;
}

}  // namespace trendolin::gui
