// The four pages of the Graph Properties dialog as widgets: each shows its
// page's values and hands back what was typed; the rules for taking them
// into the graph's record live with the session.
#pragma once

#include <QFrame>
#include <QWidget>

#include "session/graph_properties.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace trendolin::gui {

// A small box beside the button that chooses a colour: filled with the
// colour, or, for the curve and the data points, a piece of curve in its
// style or one symbol drawn in it.
class ColourSwatch : public QFrame {
  Q_OBJECT

 public:
  explicit ColourSwatch(QWidget* parent = nullptr);
  void SetColour(trendolin::Colour colour);
  // From now on a piece of curve of `style` and `width` pixels.
  void ShowLine(int style, int width);
  // From now on one symbol of `type` (filled or not).
  void ShowPoint(int type, bool filled);
  void SetFilled(bool filled);
  trendolin::Colour ColourShown() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  enum class Shows { Colour, Line, Point };
  Shows shows_ = Shows::Colour;
  trendolin::Colour colour_ = 0;
  int style_ = 0;  // line style or point type
  int width_ = 1;
  bool filled_ = true;
};

// "X Axis" or "Y Axis". Its children are named after the axis ("xMinimum",
// "yLogOn", ...).
class AxisPage : public QWidget {
  Q_OBJECT

 public:
  AxisPage(trendolin::GraphAxis axis, QWidget* parent = nullptr);

  void Fill(const trendolin::AxisPageFields& fields, bool logAllowed);
  // The range and step alone, as the automatic axes chose them.
  void FillRange(const trendolin::AxisPageFields& fields);
  trendolin::AxisPageFields Fields() const;
  void SetLogAllowed(bool allowed);
  bool LogAllowedShown() const;
  QLineEdit* FieldOf(trendolin::PropsField field) const;

  QPushButton* LabelFontButton() const { return labelFont_; }
  QPushButton* TickFontButton() const { return tickFont_; }
  QLineEdit* LabelField() const { return label_; }

 private:
  QLineEdit *minimum_, *maximum_, *step_, *minorTicks_, *precision_, *angle_, *label_;
  QRadioButton *logOff_, *logOn_, *sciOff_, *sciOn_;
  QCheckBox *showLabel_, *showGrid_, *showGridMinor_, *ticksIn_, *lineAtZero_;
  QPushButton *labelFont_, *tickFont_;
};

// "Points and Lines".
class PointsPage : public QWidget {
  Q_OBJECT

 public:
  // A residual plot's data-point switch is "ResidPoints"; without an
  // uncertainty column the error-bar controls are off.
  // `confidenceBand`, `predictionBand`: the graph shows a fit around whose
  // curve that 95% band can be shaded.
  PointsPage(bool residualPlot, bool hasUncertainty, bool confidenceBand, bool predictionBand,
             QWidget* parent = nullptr);

  void Fill(const trendolin::PointsPageFields& fields);
  trendolin::PointsPageFields Fields() const;
  QLineEdit* FieldOf(trendolin::PropsField field) const;
  // The swatches: the curve and the points as the record draws them.
  void ShowPreview(const trendolin::GraphAttr& attr);

  QPushButton* PointTypeButton() const { return pointType_; }
  QPushButton* LineStyleButton() const { return lineStyle_; }
  QPushButton* LineColourButton() const { return lineColour_; }
  QPushButton* PointColourButton() const { return pointColour_; }

 private:
  QLineEdit *pointSize_, *lineWidth_, *granularity_, *errorBarScale_;
  QCheckBox *showPoints_, *fill_, *errorBars_, *confidenceBand_, *predictionBand_;
  QPushButton *pointType_, *lineStyle_, *lineColour_, *pointColour_;
  ColourSwatch *lineSwatch_, *pointSwatch_;
};

// The colours the Overall page chooses, in the order it lists them.
enum class FrameColour { Background, Foreground, Grid, WindowFill, Box };
inline constexpr int kFrameColourCount = 5;

// The record's colour `which`.
trendolin::Colour& FrameColourOf(trendolin::GraphAttr& attr, FrameColour which);

// "Overall".
class OverallPage : public QWidget {
  Q_OBJECT

 public:
  explicit OverallPage(QWidget* parent = nullptr);

  void Fill(const trendolin::OverallPageFields& fields);
  trendolin::OverallPageFields Fields() const;
  QLineEdit* FieldOf(trendolin::PropsField field) const;
  void ShowColours(const trendolin::GraphAttr& attr);

  QLineEdit* TitleField() const { return title_; }
  QCheckBox* DrawHeaderBox() const { return drawHeader_; }
  QCheckBox* LockFrameColorBox() const { return lockFrameColor_; }
  QPushButton* TitleFontButton() const { return titleFont_; }
  QPushButton* ColourButton(FrameColour which) const { return colourButtons_[static_cast<int>(which)]; }

 private:
  QLineEdit *boxWidth_, *title_;
  QCheckBox *drawHeader_, *lockFrameColor_, *box_, *paneLeft_, *paneRight_, *paneTop_, *paneBottom_;
  QRadioButton *boxSquare_, *boxRound_;
  QPushButton* titleFont_;
  QPushButton* colourButtons_[kFrameColourCount];
  ColourSwatch* swatches_[kFrameColourCount];
};

}  // namespace trendolin::gui
