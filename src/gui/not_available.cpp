#include "gui/not_available.h"

#include <QMessageBox>

namespace trendolin::gui {

void ShowNotAvailable(QWidget* parent, const QString& what) {
  QMessageBox::information(parent, QStringLiteral("Trendolin 1.4"),
                           what + QStringLiteral(" is not available in this version of Trendolin."));
}

}  // namespace trendolin::gui
