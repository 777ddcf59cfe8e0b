// The error report: what went wrong in a calculation, with OK and a Help
// button for the page that explains the errors.
#pragma once

#include <QDialog>
#include <string>

namespace trendolin::gui {

class ErrorReportDialog : public QDialog {
  Q_OBJECT

 public:
  ErrorReportDialog(const std::string& message, const std::string& helpTopic, QWidget* parent = nullptr);
};

}  // namespace trendolin::gui
