// The information window's pages of texts and lists: coefficients, history,
// covariance matrix and comments, filled from the fit's read-out.
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "fit/engine_state.h"
#include "graph/system_colours.h"
#include "gui/graph_window.h"
#include "gui/info_window.h"
#include "gui/model_picture.h"
#include "gui/tab_stop_list.h"
#include "render_qt/qt_font.h"

namespace trendolin::gui {
namespace {

// Classic list boxes put a tab stop every 32 dialog units unless told otherwise.
constexpr int kDefaultTabInterval = 32;

QLabel* NamedLabel(const QString& text, const char* name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromUtf8(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

TabStopList* NamedList(std::vector<int> stops, const char* name, QWidget* parent) {
  auto* list = new TabStopList(std::move(stops), kDefaultTabInterval, parent);
  list->setObjectName(QString::fromUtf8(name));
  return list;
}

// The coefficients stand out on the button face, as the results list does.
void Emphasise(QListWidget* list) {
  QPalette palette = list->palette();
  palette.setColor(QPalette::Base, QColor(RedOf(kSystemButtonFace), GreenOf(kSystemButtonFace), BlueOf(kSystemButtonFace)));
  palette.setColor(QPalette::Text, QColor(RedOf(kSystemButtonText), GreenOf(kSystemButtonText), BlueOf(kSystemButtonText)));
  list->setPalette(palette);
}

}  // namespace

QWidget* InfoWindow::BuildCoefficientsPage() {
  const ModelInfoTexts& texts = texts_;
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new ModelPicture(ModelPictureText(modelId_, CurrentEngine().userModel.formula), page));
  QLabel* formula = NamedLabel(QString::fromStdString(texts.formula), "formula", page);
  formula->setAlignment(Qt::AlignCenter);
  layout->addWidget(formula);
  TabStopList* coefficients = NamedList({16, 24, 32}, "coefficients", page);
  Emphasise(coefficients);
  coefficients->SetLines(texts.coefficientRows);
  layout->addWidget(coefficients, 1);
  return page;
}

QWidget* InfoWindow::BuildHistoryPage() {
  const ModelInfoTexts& texts = texts_;
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto addChooser = [&](const char* chooserName, const char* listName, int column, bool filled, int start) {
    auto* chooser = new QComboBox(page);
    chooser->setObjectName(QString::fromUtf8(chooserName));
    TabStopList* list = NamedList({}, listName, page);
    if (filled) {
      for (const std::string& letter : texts.parameterLetters) chooser->addItem(QString::fromStdString(letter));
      chooser->setCurrentIndex(start);
    }
    // With one parameter the second chooser stays empty and its list shows
    // the first parameter too.
    list->setProperty("parameter", start);
    if (texts.parameterLetters.empty()) {
      list->SetLines({kNotApplicable});
    } else {
      list->SetLines(ParameterHistoryRows(doc_, modelId_, start));
    }
    connect(chooser, &QComboBox::currentIndexChanged, this, [this, chooser, list] { FillHistoryList(chooser, list); });
    grid->addWidget(new QLabel(QStringLiteral("Parameter:"), page), 0, column);
    grid->addWidget(chooser, 1, column);
    grid->addWidget(list, 2, column);
  };
  addChooser("firstChooser", "firstHistory", 0, !texts.parameterLetters.empty(), texts.firstChooserStart);
  addChooser("secondChooser", "secondHistory", 1, texts.secondChooserFilled, texts.secondChooserStart);
  grid->addWidget(new QLabel(QStringLiteral("Chi Square History:"), page), 0, 2, 2, 1, Qt::AlignBottom);
  TabStopList* chiSquare = NamedList({22, 24, 26}, "chiSquareHistory", page);
  chiSquare->SetLines(texts.chiSquareRows);
  grid->addWidget(chiSquare, 2, 2);
  grid->setRowStretch(2, 1);
  for (int column = 0; column < 3; ++column) grid->setColumnStretch(column, 1);
  return page;
}

void InfoWindow::FillHistoryList(QComboBox* chooser, TabStopList* list) {
  if (chooser->currentIndex() < 0) return;
  list->SetLines(ParameterHistoryRows(doc_, modelId_, chooser->currentIndex()));
  list->setProperty("parameter", chooser->currentIndex());
}

QWidget* InfoWindow::BuildCovariancePage() {
  const ModelInfoTexts& texts = texts_;
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  TabStopList* covariance = NamedList({}, "covariance", page);
  QFont fixed(FamilyForFace("Courier New"));
  fixed.setPixelSize(FontPixelSize(100, logicalDpiY()));
  fixed.setFixedPitch(true);
  fixed.setStyleHint(QFont::Monospace);
  covariance->setFont(fixed);
  // A column for each entry: 12 characters of the fixed font and a gap,
  // whatever the dialog's font makes of its units.
  const int columnPixels = 14 * QFontMetrics(fixed).horizontalAdvance(QLatin1Char('0'));
  covariance->SetInterval(columnPixels * 4 / std::max(1, DialogUnitsX(*covariance, 4)) + 1);
  covariance->SetLines(texts.covarianceRows);
  int widest = 0;
  for (const std::string& row : texts.covarianceRows) widest = std::max(widest, covariance->LineWidth(QString::fromStdString(row)));
  covariance->SetScrollExtent(widest * 6 / 5);
  layout->addWidget(covariance);
  return page;
}

QWidget* InfoWindow::BuildCommentsPage() {
  const ModelInfoTexts& texts = texts_;
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel(QStringLiteral("Standard Error:"), page), 0, 0);
  grid->addWidget(NamedLabel(QString::fromStdString(texts.standardError), "standardError", page), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Correlation Coefficient:"), page), 1, 0);
  grid->addWidget(NamedLabel(QString::fromStdString(texts.correlation), "correlation", page), 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Comments:"), page), 2, 0, 1, 2);
  auto* comments = new QPlainTextEdit(QString::fromStdString(texts.comments), page);
  comments->setObjectName(QStringLiteral("comments"));
  comments->setReadOnly(true);
  grid->addWidget(comments, 3, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(3, 1);
  return page;
}

QWidget* InfoWindow::BuildStatisticsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  // The statistics are read as their report gives them, in columns.
  auto* text = new QPlainTextEdit(page);
  text->setObjectName(QStringLiteral("statistics"));
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed(FamilyForFace("Courier New"));
  fixed.setPixelSize(FontPixelSize(100, logicalDpiY()));
  fixed.setStyleHint(QFont::Monospace);
  text->setFont(fixed);
  text->setTabStopDistance(16 * QFontMetrics(fixed).horizontalAdvance(QLatin1Char('0')));
  text->setPlainText(QString::fromStdString(FitReport(doc_, modelId_, ReportPage::Statistics)).remove(QLatin1Char('\r')));
  layout->addWidget(text);
  return page;
}

}  // namespace trendolin::gui
