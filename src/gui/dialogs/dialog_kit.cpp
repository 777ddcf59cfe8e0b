#include "gui/dialogs/dialog_kit.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

#include "gui/help_viewer.h"

namespace trendolin::gui {

QDialogButtonBox* MakeDialogButtons(QDialog* dialog, const std::string& helpTopic) {
  auto* buttons =
      new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, dialog);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
  buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("help"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::helpRequested, dialog,
                   [helpTopic] { ShowHelp(helpTopic); });
  return buttons;
}

QString FormatNumber(const char* format, double value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return QString::fromLocal8Bit(text);
}

void SelectFrom(QLineEdit* edit, int from) {
  edit->setFocus(Qt::OtherFocusReason);
  const int length = edit->text().size();
  if (from >= length) from = 0;
  edit->setSelection(from, length - from);
}

}  // namespace trendolin::gui
