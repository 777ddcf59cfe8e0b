// The Graph Properties pages: their controls, laid out, filled from the
// page values and read back.
#include "gui/dialogs/graph_props_pages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/dialogs/dialog_kit.h"
#include "gui/dialogs/spin_buttons.h"

namespace trendolin::gui {
namespace {

QString Named(const QString& prefix, const char* name) { return prefix + QString::fromLatin1(name); }

QLineEdit* MakeField(QWidget* parent, const QString& name, int maxLength) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setMaxLength(maxLength);
  return field;
}

QLineEdit* MakeNumberField(QWidget* parent, const QString& name) {
  QLineEdit* field = MakeField(parent, name, 32);
  field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
  return field;
}

QLineEdit* MakeDigitsField(QWidget* parent, const QString& name, int digits) {
  QLineEdit* field = MakeField(parent, name, digits);
  field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 4));
  return field;
}

QCheckBox* MakeCheck(QWidget* parent, const QString& name, const char* text) {
  auto* box = new QCheckBox(QString::fromUtf8(text), parent);
  box->setObjectName(name);
  return box;
}

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const char* text) {
  auto* radio = new QRadioButton(QString::fromUtf8(text), parent);
  radio->setObjectName(name);
  return radio;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const char* text) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

// A pair of radio buttons that exclude each other and no other.
QGroupBox* RadioPair(QWidget* parent, const char* title, QRadioButton* off, QRadioButton* on) {
  auto* group = new QGroupBox(QString::fromUtf8(title), parent);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(off);
  layout->addWidget(on);
  auto* exclusive = new QButtonGroup(group);
  exclusive->addButton(off);
  exclusive->addButton(on);
  return group;
}

// A field with its up-down arrows.
QWidget* WithArrows(QLineEdit* field, int low, int high) {
  auto* box = new QWidget(field->parentWidget());
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(field);
  layout->addWidget(new SpinButtons(field, low, high, low, {}, box));
  layout->addStretch();
  return box;
}

QWidget* ButtonWithSwatch(QPushButton* button, ColourSwatch* swatch) {
  auto* box = new QWidget(button->parentWidget());
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(swatch);
  layout->addWidget(button, 1);
  return box;
}

QLabel* BuddyLabel(const char* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setBuddy(buddy);
  return label;
}

void SetText(QLineEdit* field, const std::string& text) { field->setText(FromUtf8(text)); }
std::string TextOf(const QLineEdit* field) { return ToUtf8(field->text()); }

}  // namespace

// ---- the colour swatch ----

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setFixedSize(28, 20);
}

void ColourSwatch::SetColour(Colour colour) {
  colour_ = colour;
  update();
}

void ColourSwatch::ShowLine(int style, int width) {
  setFixedSize(48, 24);
  shows_ = Shows::Line;
  style_ = style;
  width_ = width;
  update();
}

void ColourSwatch::ShowPoint(int type, bool filled) {
  setFixedSize(48, 24);
  shows_ = Shows::Point;
  style_ = type;
  filled_ = filled;
  update();
}

void ColourSwatch::SetFilled(bool filled) {
  filled_ = filled;
  update();
}

namespace {

Qt::PenStyle PenStyleOf(int lineStyle) {
  switch (lineStyle) {
    case kLineDashed: return Qt::DashLine;
    case kLineDotted: return Qt::DotLine;
    case kLineDotDashed: return Qt::DashDotLine;
    case kLineDotDotDashed: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
  }
}

// One data-point symbol of half-size `h` around `c`, as the graph draws it.
void DrawSymbol(QPainter& painter, int type, QPointF c, double h) {
  const QPolygonF triangle{{c.x(), c.y() - h}, {c.x() + h, c.y() + h}, {c.x() - h, c.y() + h}};
  const QPolygonF inverted{{c.x() - h, c.y() - h}, {c.x() + h, c.y() - h}, {c.x(), c.y() + h}};
  const QPolygonF diamond{{c.x(), c.y() - h}, {c.x() + h, c.y()}, {c.x(), c.y() + h}, {c.x() - h, c.y()}};
  const QPolygonF hourglass{{c.x() - h, c.y() - h}, {c.x() + h, c.y() - h}, {c.x() - h, c.y() + h}, {c.x() + h, c.y() + h}};
  const QLineF cross[] = {{c.x() - h, c.y() - h, c.x() + h, c.y() + h}, {c.x() - h, c.y() + h, c.x() + h, c.y() - h}};
  const QLineF plus[] = {{c.x() - h, c.y(), c.x() + h, c.y()}, {c.x(), c.y() - h, c.x(), c.y() + h}};
  switch (type) {
    case kPtSquare: painter.drawRect(QRectF(c.x() - h, c.y() - h, 2 * h, 2 * h)); break;
    case kPtTriangle: painter.drawPolygon(triangle); break;
    case kPtInvTriangle: painter.drawPolygon(inverted); break;
    case kPtDiamond: painter.drawPolygon(diamond); break;
    case kPtHourglass: painter.drawPolygon(hourglass); break;
    case kPtCross: painter.drawLines(cross, 2); break;
    case kPtPlus: painter.drawLines(plus, 2); break;
    case kPtAsterisk:
      painter.drawLines(cross, 2);
      painter.drawLines(plus, 2);
      break;
    default: painter.drawEllipse(c, h, h); break;
  }
}

}  // namespace

void ColourSwatch::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QColor colour(RedOf(colour_), GreenOf(colour_), BlueOf(colour_));
  const QRect area = contentsRect();
  if (shows_ == Shows::Colour) {
    painter.fillRect(area, colour);
    return;
  }
  painter.fillRect(area, Qt::white);
  painter.setRenderHint(QPainter::Antialiasing, true);
  if (shows_ == Shows::Line) {
    // Only solid curves are drawn wider than one pixel.
    const int width = style_ == kLineSolid ? std::max(1, std::min(width_, area.height() - 2)) : 1;
    painter.setPen(QPen(colour, width, PenStyleOf(style_)));
    painter.drawLine(area.left() + 2, area.center().y(), area.right() - 2, area.center().y());
    return;
  }
  painter.setPen(QPen(colour, 1));
  painter.setBrush(filled_ ? QBrush(colour) : QBrush(Qt::NoBrush));
  DrawSymbol(painter, style_, QRectF(area).center(), area.height() / 2.0 - 2);
}

// ---- X Axis and Y Axis ----

AxisPage::AxisPage(GraphAxis axis, QWidget* parent) : QWidget(parent) {
  const QString p = axis == GraphAxis::X ? QStringLiteral("x") : QStringLiteral("y");
  minimum_ = MakeNumberField(this, Named(p, "Minimum"));
  maximum_ = MakeNumberField(this, Named(p, "Maximum"));
  step_ = MakeNumberField(this, Named(p, "Step"));
  minorTicks_ = MakeDigitsField(this, Named(p, "MinorTicks"), kTwoDigits);
  precision_ = MakeDigitsField(this, Named(p, "Precision"), kTwoDigits);
  angle_ = MakeDigitsField(this, Named(p, "Angle"), kThreeDigits);
  label_ = MakeField(this, Named(p, "Label"), kGraphTextChars);
  logOff_ = MakeRadio(this, Named(p, "LogOff"), "&Linear");
  logOn_ = MakeRadio(this, Named(p, "LogOn"), "Lo&garithmic");
  sciOff_ = MakeRadio(this, Named(p, "SciOff"), "&Decimal");
  sciOn_ = MakeRadio(this, Named(p, "SciOn"), "&Scientific");
  showLabel_ = MakeCheck(this, Named(p, "ShowLabel"), "Show Axis &Title");
  showGrid_ = MakeCheck(this, Named(p, "ShowGrid"), "Show &Grid");
  showGridMinor_ = MakeCheck(this, Named(p, "ShowGridMinor"), "Grid at &Minor Ticks");
  ticksIn_ = MakeCheck(this, Named(p, "TicksIn"), "Tic&ks Inside");
  lineAtZero_ = MakeCheck(this, Named(p, "LineAtZero"),
                          axis == GraphAxis::X ? "Line at &X = 0" : "Line at &Y = 0");
  labelFont_ = MakeButton(this, Named(p, "LabelFont"), "Title &Font...");
  tickFont_ = MakeButton(this, Named(p, "TickFont"), "Tick Label F&ont...");

  auto* range = new QGroupBox(QStringLiteral("Range"), this);
  auto* rangeLayout = new QGridLayout(range);
  const struct {
    const char* text;
    QWidget* field;
  } rows[] = {{"Mi&nimum:", minimum_}, {"Ma&ximum:", maximum_}, {"S&tep:", step_}, {"Minor T&icks:", minorTicks_}};
  for (int row = 0; row < 4; ++row) {
    auto* label = new QLabel(QString::fromUtf8(rows[row].text), range);
    label->setBuddy(rows[row].field);
    rangeLayout->addWidget(label, row, 0);
    rangeLayout->addWidget(rows[row].field, row, 1);
  }

  auto* labels = new QGroupBox(QStringLiteral("Tick Labels"), this);
  auto* labelsLayout = new QGridLayout(labels);
  auto* precisionLabel = new QLabel(QStringLiteral("&Precision:"), labels);
  precisionLabel->setBuddy(precision_);
  auto* angleLabel = new QLabel(QStringLiteral("&Angle:"), labels);
  angleLabel->setBuddy(angle_);
  labelsLayout->addWidget(precisionLabel, 0, 0);
  labelsLayout->addWidget(precision_, 0, 1);
  labelsLayout->addWidget(angleLabel, 1, 0);
  labelsLayout->addWidget(angle_, 1, 1);
  labelsLayout->addWidget(tickFont_, 2, 0, 1, 2);

  auto* title = new QGroupBox(QStringLiteral("Axis Title"), this);
  auto* titleLayout = new QHBoxLayout(title);
  titleLayout->addWidget(label_, 1);
  titleLayout->addWidget(labelFont_);

  auto* checks = new QVBoxLayout;
  for (QCheckBox* box : {showLabel_, showGrid_, showGridMinor_, ticksIn_, lineAtZero_}) checks->addWidget(box);
  checks->addStretch();

  auto* grid = new QGridLayout(this);
  grid->addWidget(title, 0, 0, 1, 3);
  grid->addWidget(range, 1, 0, 2, 1);
  grid->addWidget(RadioPair(this, "Scale", logOff_, logOn_), 1, 1);
  grid->addWidget(RadioPair(this, "Notation", sciOff_, sciOn_), 2, 1);
  grid->addWidget(labels, 1, 2);
  grid->addLayout(checks, 2, 2);
  grid->setRowStretch(3, 1);
}

void AxisPage::Fill(const AxisPageFields& f, bool logAllowed) {
  FillRange(f);
  SetText(minorTicks_, f.minorTicks);
  SetText(precision_, f.precision);
  SetText(angle_, f.angle);
  SetText(label_, f.label);
  (f.log ? logOn_ : logOff_)->setChecked(true);
  (f.scientific ? sciOn_ : sciOff_)->setChecked(true);
  showLabel_->setChecked(f.showLabel);
  showGrid_->setChecked(f.showGrid);
  showGridMinor_->setChecked(f.showGridMinor);
  ticksIn_->setChecked(f.ticksIn);
  lineAtZero_->setChecked(f.lineAtZero);
  SetLogAllowed(logAllowed);
}

void AxisPage::FillRange(const AxisPageFields& f) {
  SetText(minimum_, f.minimum);
  SetText(maximum_, f.maximum);
  SetText(step_, f.step);
}

AxisPageFields AxisPage::Fields() const {
  AxisPageFields f;
  f.minimum = TextOf(minimum_);
  f.maximum = TextOf(maximum_);
  f.step = TextOf(step_);
  f.minorTicks = TextOf(minorTicks_);
  f.precision = TextOf(precision_);
  f.angle = TextOf(angle_);
  f.label = TextOf(label_);
  f.log = logOn_->isChecked();
  f.scientific = sciOn_->isChecked();
  f.showLabel = showLabel_->isChecked();
  f.showGrid = showGrid_->isChecked();
  f.showGridMinor = showGridMinor_->isChecked();
  f.ticksIn = ticksIn_->isChecked();
  f.lineAtZero = lineAtZero_->isChecked();
  return f;
}

void AxisPage::SetLogAllowed(bool allowed) {
  if (!allowed) logOff_->setChecked(true);
  logOn_->setEnabled(allowed);
}

bool AxisPage::LogAllowedShown() const { return logOn_->isEnabled(); }

QLineEdit* AxisPage::FieldOf(PropsField field) const {
  switch (field) {
    case PropsField::Minimum: return minimum_;
    case PropsField::Maximum: return maximum_;
    case PropsField::Step: return step_;
    case PropsField::MinorTicks: return minorTicks_;
    case PropsField::Angle: return angle_;
    case PropsField::Precision: return precision_;
    default: return nullptr;
  }
}

// ---- Points and Lines ----

PointsPage::PointsPage(bool residualPlot, bool hasUncertainty, bool confidenceBand, bool predictionBand,
                       QWidget* parent)
    : QWidget(parent) {
  pointSize_ = MakeDigitsField(this, QStringLiteral("pointSize"), kTwoDigits);
  lineWidth_ = MakeDigitsField(this, QStringLiteral("lineWidth"), kTwoDigits);
  granularity_ = MakeDigitsField(this, QStringLiteral("granularity"), kThreeDigits);
  errorBarScale_ = MakeNumberField(this, QStringLiteral("errorBarScale"));
  showPoints_ = MakeCheck(this, QStringLiteral("showPoints"),
                          residualPlot ? kShowResidPointsCaption : kShowDataPointsCaption);
  fill_ = MakeCheck(this, QStringLiteral("pointFill"), "&Fill Points");
  errorBars_ = MakeCheck(this, QStringLiteral("showErrorBars"), "Show &Error Bars");
  confidenceBand_ = MakeCheck(this, QStringLiteral("confidenceBand"), "C&onfidence band (95%)");
  predictionBand_ = MakeCheck(this, QStringLiteral("predictionBand"), "Predictio&n band (95%)");
  confidenceBand_->setEnabled(confidenceBand);
  predictionBand_->setEnabled(predictionBand);
  if (confidenceBand && !predictionBand) {
    predictionBand_->setToolTip(
        QStringLiteral("The fit is weighted by the uncertainties: those of new measurements are not known."));
  }
  pointType_ = MakeButton(this, QStringLiteral("pointType"), "Point &Type...");
  lineStyle_ = MakeButton(this, QStringLiteral("lineStyle"), "Line &Style...");
  lineColour_ = MakeButton(this, QStringLiteral("lineColour"), "&Line Color...");
  pointColour_ = MakeButton(this, QStringLiteral("pointColour"), "&Point Color...");
  lineSwatch_ = new ColourSwatch(this);
  pointSwatch_ = new ColourSwatch(this);
  errorBars_->setEnabled(hasUncertainty);
  errorBarScale_->setEnabled(hasUncertainty);
  connect(fill_, &QCheckBox::toggled, pointSwatch_, &ColourSwatch::SetFilled);

  auto* points = new QGroupBox(QStringLiteral("Data Points"), this);
  auto* pointsLayout = new QGridLayout(points);
  pointsLayout->addWidget(BuddyLabel("Point Si&ze:", pointSize_, points), 0, 0);
  pointsLayout->addWidget(WithArrows(pointSize_, kPointSizeLow, kPointSizeHigh), 0, 1);
  pointsLayout->addWidget(showPoints_, 1, 0, 1, 2);
  pointsLayout->addWidget(fill_, 2, 0, 1, 2);
  pointsLayout->addWidget(pointType_, 3, 0, 1, 2);
  pointsLayout->addWidget(ButtonWithSwatch(pointColour_, pointSwatch_), 4, 0, 1, 2);

  auto* lines = new QGroupBox(QStringLiteral("Fitted Curve"), this);
  auto* linesLayout = new QGridLayout(lines);
  linesLayout->addWidget(BuddyLabel("Line &Width:", lineWidth_, lines), 0, 0);
  linesLayout->addWidget(WithArrows(lineWidth_, kLineWidthLow, kLineWidthHigh), 0, 1);
  linesLayout->addWidget(BuddyLabel("&Granularity:", granularity_, lines), 1, 0);
  linesLayout->addWidget(WithArrows(granularity_, kGranularityLow, kGranularityHigh), 1, 1);
  linesLayout->addWidget(lineStyle_, 2, 0, 1, 2);
  linesLayout->addWidget(ButtonWithSwatch(lineColour_, lineSwatch_), 3, 0, 1, 2);
  linesLayout->addWidget(confidenceBand_, 4, 0, 1, 2);
  linesLayout->addWidget(predictionBand_, 5, 0, 1, 2);

  auto* bars = new QGroupBox(QStringLiteral("Error Bars"), this);
  auto* barsLayout = new QGridLayout(bars);
  auto* scaleLabel = new QLabel(QStringLiteral("S&cale:"), bars);
  scaleLabel->setBuddy(errorBarScale_);
  barsLayout->addWidget(errorBars_, 0, 0, 1, 2);
  barsLayout->addWidget(scaleLabel, 1, 0);
  barsLayout->addWidget(errorBarScale_, 1, 1);

  auto* grid = new QGridLayout(this);
  grid->addWidget(points, 0, 0, 2, 1);
  grid->addWidget(lines, 0, 1);
  grid->addWidget(bars, 1, 1);
  grid->setRowStretch(2, 1);
}

void PointsPage::Fill(const PointsPageFields& f) {
  SetText(pointSize_, f.pointSize);
  SetText(lineWidth_, f.lineWidth);
  SetText(granularity_, f.granularity);
  SetText(errorBarScale_, f.errorBarScale);
  showPoints_->setChecked(f.showPoints);
  fill_->setChecked(f.fill);
  errorBars_->setChecked(f.errorBars);
  confidenceBand_->setChecked(f.confidenceBand);
  predictionBand_->setChecked(f.predictionBand);
}

PointsPageFields PointsPage::Fields() const {
  PointsPageFields f;
  f.pointSize = TextOf(pointSize_);
  f.lineWidth = TextOf(lineWidth_);
  f.granularity = TextOf(granularity_);
  f.errorBarScale = TextOf(errorBarScale_);
  f.showPoints = showPoints_->isChecked();
  f.fill = fill_->isChecked();
  f.errorBars = errorBars_->isChecked();
  f.confidenceBand = confidenceBand_->isChecked();
  f.predictionBand = predictionBand_->isChecked();
  return f;
}

QLineEdit* PointsPage::FieldOf(PropsField field) const {
  switch (field) {
    case PropsField::PointSize: return pointSize_;
    case PropsField::LineWidth: return lineWidth_;
    case PropsField::Granularity: return granularity_;
    case PropsField::ErrorBarScale: return errorBarScale_;
    default: return nullptr;
  }
}

void PointsPage::ShowPreview(const GraphAttr& attr) {
  lineSwatch_->SetColour(attr.lineColour);
  lineSwatch_->ShowLine(attr.lineStyle, attr.lineWidth);
  pointSwatch_->SetColour(attr.dataPointColour);
  pointSwatch_->ShowPoint(attr.pointType, attr.Switch(kSwPtFill));
}

// ---- Overall ----

Colour& FrameColourOf(GraphAttr& attr, FrameColour which) {
  switch (which) {
    case FrameColour::Background: return attr.background;
    case FrameColour::Foreground: return attr.foreground;
    case FrameColour::Grid: return attr.gridColour;
    case FrameColour::WindowFill: return attr.windowFill;
    case FrameColour::Box: break;
  }
  return attr.boxColour;
}

OverallPage::OverallPage(QWidget* parent) : QWidget(parent) {
  boxWidth_ = MakeDigitsField(this, QStringLiteral("boxWidth"), kThreeDigits);
  title_ = MakeField(this, QStringLiteral("title"), kGraphTextChars);
  drawHeader_ = MakeCheck(this, QStringLiteral("drawHeader"), "Draw &Header");
  lockFrameColor_ = MakeCheck(this, QStringLiteral("lockFrameColor"), "&Lock Text Colors to Foreground");
  box_ = MakeCheck(this, QStringLiteral("box"), "Draw &Box");
  paneLeft_ = MakeCheck(this, QStringLiteral("paneLeft"), "L&eft");
  paneRight_ = MakeCheck(this, QStringLiteral("paneRight"), "&Right");
  paneTop_ = MakeCheck(this, QStringLiteral("paneTop"), "&Top");
  paneBottom_ = MakeCheck(this, QStringLiteral("paneBottom"), "Botto&m");
  boxSquare_ = MakeRadio(this, QStringLiteral("boxSquare"), "S&quare Corners");
  boxRound_ = MakeRadio(this, QStringLiteral("boxRound"), "R&ounded Corners");
  titleFont_ = MakeButton(this, QStringLiteral("titleFont"), "Title &Font...");

  const struct {
    const char* name;
    const char* text;
  } colours[kFrameColourCount] = {{"background", "Bac&kground..."},
                                  {"foreground", "Fore&ground..."},
                                  {"gridColour", "Gr&id..."},
                                  {"windowFill", "&Window Fill..."},
                                  {"boxColour", "Bo&x..."}};
  auto* colourBox = new QGroupBox(QStringLiteral("Colors"), this);
  auto* colourLayout = new QVBoxLayout(colourBox);
  for (int i = 0; i < kFrameColourCount; ++i) {
    colourButtons_[i] = MakeButton(colourBox, QString::fromLatin1(colours[i].name), colours[i].text);
    swatches_[i] = new ColourSwatch(colourBox);
    colourLayout->addWidget(ButtonWithSwatch(colourButtons_[i], swatches_[i]));
  }

  auto* titleBox = new QGroupBox(QStringLiteral("Title"), this);
  auto* titleLayout = new QGridLayout(titleBox);
  titleLayout->addWidget(title_, 0, 0);
  titleLayout->addWidget(titleFont_, 0, 1);
  titleLayout->addWidget(drawHeader_, 1, 0, 1, 2);
  titleLayout->addWidget(lockFrameColor_, 2, 0, 1, 2);

  auto* frame = new QGroupBox(QStringLiteral("Plot Frame"), this);
  auto* frameLayout = new QGridLayout(frame);
  frameLayout->addWidget(paneLeft_, 0, 0);
  frameLayout->addWidget(paneRight_, 0, 1);
  frameLayout->addWidget(paneTop_, 1, 0);
  frameLayout->addWidget(paneBottom_, 1, 1);

  auto* boxGroup = new QGroupBox(QStringLiteral("Box"), this);
  auto* boxLayout = new QGridLayout(boxGroup);
  boxLayout->addWidget(box_, 0, 0, 1, 2);
  auto* widthLabel = new QLabel(QStringLiteral("Wi&dth:"), boxGroup);
  boxLayout->addWidget(widthLabel, 1, 0);
  QWidget* width = WithArrows(boxWidth_, kBoxWidthLow, kBoxWidthHigh);
  widthLabel->setBuddy(boxWidth_);
  boxLayout->addWidget(width, 1, 1);
  boxLayout->addWidget(RadioPair(boxGroup, "Corners", boxSquare_, boxRound_), 2, 0, 1, 2);

  auto* grid = new QGridLayout(this);
  grid->addWidget(titleBox, 0, 0, 1, 2);
  grid->addWidget(frame, 1, 0);
  grid->addWidget(boxGroup, 2, 0);
  grid->addWidget(colourBox, 1, 1, 2, 1);
  grid->setRowStretch(3, 1);
}

void OverallPage::Fill(const OverallPageFields& f) {
  SetText(boxWidth_, f.boxWidth);
  // Filling is no editing: the header switch stays as the record has it.
  const QSignalBlocker quiet(title_);
  SetText(title_, f.title);
  drawHeader_->setChecked(f.drawHeader);
  lockFrameColor_->setChecked(f.lockFrameColor);
  box_->setChecked(f.box);
  paneLeft_->setChecked(f.paneLeft);
  paneRight_->setChecked(f.paneRight);
  paneTop_->setChecked(f.paneTop);
  paneBottom_->setChecked(f.paneBottom);
  (f.boxRound ? boxRound_ : boxSquare_)->setChecked(true);
}

OverallPageFields OverallPage::Fields() const {
  OverallPageFields f;
  f.boxWidth = TextOf(boxWidth_);
  f.title = TextOf(title_);
  f.drawHeader = drawHeader_->isChecked();
  f.lockFrameColor = lockFrameColor_->isChecked();
  f.box = box_->isChecked();
  f.paneLeft = paneLeft_->isChecked();
  f.paneRight = paneRight_->isChecked();
  f.paneTop = paneTop_->isChecked();
  f.paneBottom = paneBottom_->isChecked();
  f.boxRound = boxRound_->isChecked();
  return f;
}

QLineEdit* OverallPage::FieldOf(PropsField field) const { return field == PropsField::BoxWidth ? boxWidth_ : nullptr; }

void OverallPage::ShowColours(const GraphAttr& attr) {
  GraphAttr copy = attr;
  for (int i = 0; i < kFrameColourCount; ++i) swatches_[i]->SetColour(FrameColourOf(copy, static_cast<FrameColour>(i)));
}

}  // namespace trendolin::gui
