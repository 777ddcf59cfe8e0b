// The model picture of the information window's Coefficients page: the
// fit's formula drawn large, "y=" and the user's own formula for the user
// model, broken at operators when it is too long for one line.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

namespace trendolin::gui {

// `text` in pieces of at most `chunk` characters, each ending at the last
// operator character (+ - / * = ! < >) within it, joined by single spaces so
// that word wrapping breaks there. A piece without an operator ends where the
// chunk does. Text shorter than `chunk` (or a chunk of none) comes back whole.
std::string BreakAtOperators(const std::string& text, int chunk);

// The formula of a built-in model as its prompt gives it ("y=a+bx" from
// "Linear Regression,  y=a+bx"); empty when the prompt has none.
std::string PromptFormula(int modelId);

class ModelPicture : public QWidget {
  Q_OBJECT

 public:
  // `formula` is drawn as it stands (after the breaking); an empty one
  // leaves the area blank.
  ModelPicture(const QString& formula, QWidget* parent);

  QString Formula() const { return formula_; }
  // The text as the last paint laid it out, broken for the area's width.
  QString DrawnText() const { return drawn_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString formula_;
  QString drawn_;
};

// The picture's text for model `modelId`: "y=" and `userFormula` for the
// user model, the formula of the prompt for any other.
QString ModelPictureText(int modelId, const std::string& userFormula);

}  // namespace trendolin::gui
