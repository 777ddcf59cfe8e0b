// The model picture: the formula in an 18-point bold italic face, centred.
#include "gui/model_picture.h"

#include <QPainter>

#include "fit/fit_types.h"
#include "platform/resource_strings.h"
#include "render_qt/qt_font.h"

namespace trendolin::gui {
namespace {

bool IsOperator(char c) {
  switch (c) {
    case '+': case '-': case '/': case '*': case '=': case '!': case '<': case '>': return true;
    default: return false;
  }
}

// Characters the formula may take per line: what the area holds, less a
// margin of six.
int ChunkLength(int areaWidth, int averageCharWidth) {
  if (averageCharWidth <= 0) return 0;
  return areaWidth / averageCharWidth - 6;
}

}  // namespace

std::string BreakAtOperators(const std::string& text, int chunk) {
  if (chunk <= 0 || text.size() < static_cast<std::size_t>(chunk)) return text;
  const auto length = static_cast<std::size_t>(chunk);
  std::string broken;
  std::size_t start = 0;
  while (text.size() - start > length) {
    std::size_t cut = start + length;
    for (std::size_t i = start + length; i > start; --i) {
      if (IsOperator(text[i - 1])) {
        cut = i;
        break;
      }
    }
    broken += text.substr(start, cut - start);
    broken += ' ';
    start = cut;
  }
  broken += text.substr(start);
  return broken;
}

std::string PromptFormula(int modelId) {
  const std::string prompt(platform::ResourceString(modelId));
  const std::size_t comma = prompt.find(',');
  if (comma == std::string::npos) return {};
  const std::size_t first = prompt.find_first_not_of(' ', comma + 1);
  return first == std::string::npos ? std::string() : prompt.substr(first);
}

QString ModelPictureText(int modelId, const std::string& userFormula) {
  if (modelId == kUserModel) return QString::fromStdString("y=" + userFormula);
  return QString::fromStdString(PromptFormula(modelId));
}

ModelPicture::ModelPicture(const QString& formula, QWidget* parent) : QWidget(parent), formula_(formula) {
  setObjectName(QStringLiteral("modelPicture"));
  setMinimumHeight(70);
}

void ModelPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  if (formula_.isEmpty()) return;
  QFont font(FamilyForFace("Arial"));
  font.setPixelSize(FontPixelSize(180, logicalDpiY()));
  font.setBold(true);
  font.setItalic(true);
  painter.setFont(font);
  painter.setPen(palette().color(QPalette::WindowText));
  const int chunk = ChunkLength(width(), painter.fontMetrics().averageCharWidth());
  drawn_ = QString::fromStdString(BreakAtOperators(formula_.toStdString(), chunk));
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, drawn_);
}

}  // namespace trendolin::gui
