// Small pieces every dialog of the program shares: the OK / Cancel / Help
// row, text conversion between the core's UTF-8 strings and Qt, numbers
// formatted the way the rest of the program writes them, and putting the
// person back on a field that was refused.
#pragma once

#include <QString>
#include <string>

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QWidget;

namespace trendolin::gui {

inline QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToUtf8(const QString& text) { return text.toStdString(); }

// OK, Cancel and Help, wired to the dialog's accept() (virtual, so a dialog
// that checks its fields first gets the press), reject() and the help
// topic. The buttons are named "ok", "cancel" and "help".
QDialogButtonBox* MakeDialogButtons(QDialog* dialog, const std::string& helpTopic);

// printf formatting through the C library, so the decimal point is the one
// of the locale the "Locale" setting chose, as everywhere else.
QString FormatNumber(const char* format, double value);

// Focus on `edit` with its text selected from `from` to the end (the part
// that could not be read).
void SelectFrom(QLineEdit* edit, int from);

}  // namespace trendolin::gui
