#include "gui/dialogs/error_report_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"

namespace trendolin::gui {

ErrorReportDialog::ErrorReportDialog(const std::string& message, const std::string& helpTopic, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Calculation Error"));

  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("picture"));
  const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(iconSize));
  picture->setAlignment(Qt::AlignTop);

  auto* text = new QLabel(FromUtf8(message), this);
  text->setObjectName(QStringLiteral("message"));
  text->setTextFormat(Qt::PlainText);
  text->setWordWrap(true);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  text->setMinimumWidth(text->fontMetrics().averageCharWidth() * 48);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("help"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [helpTopic] { ShowHelp(helpTopic); });

  auto* body = new QHBoxLayout;
  body->addWidget(picture);
  body->addSpacing(12);
  body->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace trendolin::gui
