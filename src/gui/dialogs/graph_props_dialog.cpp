// The Graph Properties dialog: its pages and buttons, the commands, and the
// rule of one open dialog in the program.
#include "gui/dialogs/graph_props_dialog.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdint>
#include <functional>
#include <iterator>
#include <string>

#include "data/curve_fit.h"
#include "fit/fit_statistics.h"
#include "gui/dialogs/dialog_kit.h"
#include "gui/help_viewer.h"
#include "gui/dialogs/graph_props_choosers.h"
#include "gui/dialogs/graph_props_pages.h"
#include "gui/graph_window.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"
#include "precision/errors.h"
#include "session/graph_queue.h"
#include "session/session.h"

namespace trendolin::gui {
namespace {

// How many Graph Properties dialogs are open in the process: one at most,
// since the custom colours of the chooser are shared by the whole program.
std::uint8_t openGraphPropsDialogs = 0;

struct MenuChoice {
  int value;
  const char* label;
};
constexpr MenuChoice kPointTypes[] = {
    {kPtCircle, "Circle"},     {kPtSquare, "Square"},       {kPtDiamond, "Diamond"},
    {kPtTriangle, "Triangle"}, {kPtInvTriangle, "Inv Triangle"}, {kPtHourglass, "Hourglass"},
    {kPtCross, "Cross"},       {kPtPlus, "Plus"},           {kPtAsterisk, "Asterisk"},
};
constexpr MenuChoice kLineStyles[] = {
    {kLineSolid, "Solid"},         {kLineDashed, "Dashed"}, {kLineDotted, "Dotted"},
    {kLineDotDashed, "Dot-Dashed"}, {kLineDotDotDashed, "Dot-Dot-Dashed"},
};

QMenu* BuildChoiceMenu(QWidget* parent, const QString& name, const MenuChoice* choices, std::size_t count,
                       const std::function<void(int)>& choose) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(name);
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  for (std::size_t i = 0; i < count; ++i) {
    QAction* action = menu->addAction(QString::fromUtf8(choices[i].label));
    action->setCheckable(true);
    action->setData(choices[i].value);
    group->addAction(action);
    const int value = choices[i].value;
    QObject::connect(action, &QAction::triggered, menu, [choose, value] { choose(value); });
  }
  return menu;
}

void CheckChoice(QMenu* menu, int value) {
  for (QAction* action : menu->actions()) action->setChecked(action->data().toInt() == value);
}

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu: return true;
    default: return false;
  }
}

QPushButton* MakeCommandButton(QWidget* parent, const char* name, const char* text) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

void TellNotKept(const std::string& reason) {
  platform::TellUser(std::string(platform::ResourceString(kGraphPropsBusyCaption)),
                     "The graph attributes could not be kept as the defaults for new graphs.\n" + reason,
                     platform::Icon::Error);
}

}  // namespace

GraphPropsDialog::GraphPropsDialog(GraphWindow& owner, CurveFit& doc)
    : QDialog(&owner), owner_(&owner), doc_(doc), record_(*owner.Record()), saved_(*owner.Record()) {
  ++openGraphPropsDialogs;
  setObjectName(QStringLiteral("graphProperties"));
  setAttribute(Qt::WA_DeleteOnClose, true);
  residual_ = record_.plotKind == PlotKind::Residual;
  QString caption = QString::fromUtf8(kGraphPropsCaption);
  caption.replace(QStringLiteral("%s"), owner.windowTitle());
  setWindowTitle(caption);
  BuildPages();
  BuildButtons();
  BuildMenus();
  ConnectCommands();
  LoadChooserColours(CurrentSession().iniFile);
  FillPages();
  owner.installEventFilter(this);
}

GraphPropsDialog::~GraphPropsDialog() { Release(); }

void GraphPropsDialog::done(int result) {
  Release();
  QDialog::done(result);
}

// A closed dialog no longer counts, even before it is deleted: another may
// open at once.
void GraphPropsDialog::Release() {
  if (released_) return;
  released_ = true;
  if (owner_) owner_->removeEventFilter(this);
  if (--openGraphPropsDialogs == 0) SaveChooserColours(CurrentSession().iniFile);
}

// ---- building ----

void GraphPropsDialog::BuildPages() {
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("pages"));
  xPage_ = new AxisPage(GraphAxis::X, pages_);
  yPage_ = new AxisPage(GraphAxis::Y, pages_);
  // The bands of the fit shown, when it has them (a regression with degrees
  // of freedom left); a fit weighted by the uncertainties has no prediction band.
  const std::optional<FitBands> bands =
      residual_ || record_.modelId < 0 ? std::nullopt : FitBands::Of(doc_, record_.modelId);
  pointsPage_ = new PointsPage(residual_, doc_.bUncertainty != 0, bands.has_value(),
                               bands && bands->HasPredictionBand(), pages_);
  overallPage_ = new OverallPage(pages_);
  pages_->addTab(xPage_, QStringLiteral("X Axis"));
  pages_->addTab(yPage_, QStringLiteral("Y Axis"));
  pages_->addTab(pointsPage_, QStringLiteral("Points and Lines"));
  pages_->addTab(overallPage_, QStringLiteral("Overall"));
}

void GraphPropsDialog::BuildButtons() {
  automaticAxes_ = MakeCommandButton(this, "automaticAxes", "&Automatic Axes");
  QPushButton* makeDefault = MakeCommandButton(this, "makeDefault", "Make &Default");
  QPushButton* applyToAll = MakeCommandButton(this, "applyToAll", "Apply to All &Graphs");
  QPushButton* ok = MakeCommandButton(this, "ok", "OK");
  ok->setDefault(true);
  QPushButton* cancel = MakeCommandButton(this, "cancel", "Cancel");
  QPushButton* apply = MakeCommandButton(this, "apply", "A&pply");
  QPushButton* help = MakeCommandButton(this, "help", "&Help");
  connect(automaticAxes_, &QPushButton::clicked, this, &GraphPropsDialog::AutomaticAxes);
  connect(makeDefault, &QPushButton::clicked, this, &GraphPropsDialog::MakeDefault);
  connect(applyToAll, &QPushButton::clicked, this, &GraphPropsDialog::ApplyToAllGraphs);
  connect(ok, &QPushButton::clicked, this, &GraphPropsDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &GraphPropsDialog::reject);
  connect(apply, &QPushButton::clicked, this, &GraphPropsDialog::Apply);
  connect(help, &QPushButton::clicked, this, &GraphPropsDialog::ShowHelp);

  auto* commands = new QHBoxLayout;
  commands->addWidget(automaticAxes_);
  commands->addWidget(makeDefault);
  commands->addWidget(applyToAll);
  commands->addStretch();
  auto* closing = new QHBoxLayout;
  closing->addStretch();
  for (QPushButton* button : {ok, cancel, apply, help}) closing->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(commands);
  layout->addLayout(closing);
}

void GraphPropsDialog::BuildMenus() {
  pointTypeMenu_ = BuildChoiceMenu(this, QStringLiteral("pointTypes"), kPointTypes, std::size(kPointTypes),
                                   [this](int value) { ChoosePointType(value); });
  lineStyleMenu_ = BuildChoiceMenu(this, QStringLiteral("lineStyles"), kLineStyles, std::size(kLineStyles),
                                   [this](int value) { ChooseLineStyle(value); });
}

void GraphPropsDialog::ConnectCommands() {
  connect(pages_, &QTabWidget::currentChanged, this, &GraphPropsDialog::PageChanged);

  auto popupAtCorner = [](QMenu* menu, QPushButton* button) {
    menu->popup(button->mapToGlobal(button->rect().topRight()));
  };
  connect(pointsPage_->PointTypeButton(), &QPushButton::clicked, this,
          [this, popupAtCorner] { popupAtCorner(pointTypeMenu_, pointsPage_->PointTypeButton()); });
  connect(pointsPage_->LineStyleButton(), &QPushButton::clicked, this,
          [this, popupAtCorner] { popupAtCorner(lineStyleMenu_, pointsPage_->LineStyleButton()); });
  connect(pointsPage_->LineColourButton(), &QPushButton::clicked, this,
          [this] { ChooseColourOf(record_.lineColour, QStringLiteral("Line Color")); });
  connect(pointsPage_->PointColourButton(), &QPushButton::clicked, this,
          [this] { ChooseColourOf(record_.dataPointColour, QStringLiteral("Data Point Color")); });

  const QString colourTitles[kFrameColourCount] = {QStringLiteral("Background Color"),
                                                   QStringLiteral("Foreground Color"), QStringLiteral("Grid Color"),
                                                   QStringLiteral("Window Fill Color"), QStringLiteral("Box Color")};
  for (int i = 0; i < kFrameColourCount; ++i) {
    const auto which = static_cast<FrameColour>(i);
    const QString title = colourTitles[i];
    connect(overallPage_->ColourButton(which), &QPushButton::clicked, this, [this, which, title] {
      ChooseColourOf(FrameColourOf(record_, which), title);
      if (which == FrameColour::Foreground && record_.Switch(kSwLockFrameColor)) LockFontColours(record_);
    });
  }
  connect(overallPage_->LockFrameColorBox(), &QCheckBox::clicked, this,
          [this](bool on) { record_.SetSwitch(kSwLockFrameColor, on); });
  // The title shows only without the statistics header.
  connect(overallPage_->TitleField(), &QLineEdit::textEdited, this,
          [this] { overallPage_->DrawHeaderBox()->setChecked(false); });

  connect(xPage_->LabelFontButton(), &QPushButton::clicked, this,
          [this] { ChooseFontOf(record_.xFont, xPage_->LabelField()->text()); });
  connect(yPage_->LabelFontButton(), &QPushButton::clicked, this,
          [this] { ChooseFontOf(record_.yFont, yPage_->LabelField()->text()); });
  connect(xPage_->TickFontButton(), &QPushButton::clicked, this,
          [this] { ChooseFontOf(record_.xTickFont, QString::fromLatin1(kTickLabelSample)); });
  connect(yPage_->TickFontButton(), &QPushButton::clicked, this,
          [this] { ChooseFontOf(record_.yTickFont, QString::fromLatin1(kTickLabelSample)); });
  connect(overallPage_->TitleFontButton(), &QPushButton::clicked, this,
          [this] { ChooseFontOf(record_.titleFont, overallPage_->TitleField()->text()); });
}

void GraphPropsDialog::FillPages() {
  const bool xLog = SettleLogSwitch(record_, GraphAxis::X);
  const bool yLog = SettleLogSwitch(record_, GraphAxis::Y);
  xPage_->Fill(AxisPageOf(record_, GraphAxis::X), xLog);
  yPage_->Fill(AxisPageOf(record_, GraphAxis::Y), yLog);
  pointsPage_->Fill(PointsPageOf(record_));
  overallPage_->Fill(OverallPageOf(record_));
  CheckChoice(pointTypeMenu_, record_.pointType);
  CheckChoice(lineStyleMenu_, record_.lineStyle);
  ShowColours();
}

void GraphPropsDialog::ShowColours() {
  pointsPage_->ShowPreview(record_);
  overallPage_->ShowColours(record_);
}

// ---- validation ----

bool GraphPropsDialog::ValidatePage(int index) {
  std::optional<PropsField> refused;
  QLineEdit* field = nullptr;
  switch (index) {
    case kXAxisPage:
    case kYAxisPage: {
      AxisPage* page = index == kXAxisPage ? xPage_ : yPage_;
      bool logAllowed = page->LogAllowedShown();
      refused = TakeAxisPage(record_, index == kXAxisPage ? GraphAxis::X : GraphAxis::Y, page->Fields(), &logAllowed);
      page->SetLogAllowed(logAllowed);
      if (refused) field = page->FieldOf(*refused);
      break;
    }
    case kPointsPage:
      refused = TakePointsPage(record_, pointsPage_->Fields(), doc_.bUncertainty != 0);
      if (refused) field = pointsPage_->FieldOf(*refused);
      break;
    case kOverallPage:
      refused = TakeOverallPage(record_, overallPage_->Fields());
      if (refused) field = overallPage_->FieldOf(*refused);
      break;
    default: return true;
  }
  if (!refused) return true;
  if (pages_->currentIndex() != index) {
    const QSignalBlocker quiet(pages_);
    pages_->setCurrentIndex(index);
  }
  currentPage_ = index;
  automaticAxes_->setVisible(index == kXAxisPage || index == kYAxisPage);
  if (field != nullptr) SelectFrom(field, 0);
  platform::CurrentUi().Beep();
  return false;
}

void GraphPropsDialog::PageChanged(int index) {
  if (index == currentPage_) return;
  if (!ValidatePage(currentPage_)) return;  // back on the page left, at the refused field
  currentPage_ = index;
  automaticAxes_->setVisible(index == kXAxisPage || index == kYAxisPage);
}

// ---- commands ----

void GraphPropsDialog::RedrawIfChanged() {
  if (owner_ && !DrawsAlike(record_, saved_)) owner_->Refresh();
}

bool GraphPropsDialog::Apply() {
  if (!ValidatePage(pages_->currentIndex())) {
    applied_ = false;
    return false;
  }
  RedrawIfChanged();
  applied_ = true;
  return true;
}

void GraphPropsDialog::accept() {
  if (Apply()) QDialog::accept();
}

void GraphPropsDialog::reject() {
  if (!DrawsAlike(record_, saved_)) {
    RestoreGraphAttr(record_, saved_);
    if (owner_) owner_->Refresh();
  }
  QDialog::reject();
}

void GraphPropsDialog::MakeDefault() {
  if (!Apply()) return;
  // What is kept as the default is no longer an edit Cancel takes back.
  if (!residual_) saved_ = record_;
  const std::string& path = CurrentSession().iniFile;
  if (path.empty()) {
    TellNotKept("This run has no settings file.");
    return;
  }
  std::string error;
  if (!WriteGraphPropsDefaults(record_, path, &error)) TellNotKept(error);
}

void GraphPropsDialog::ApplyToAllGraphs() {
  if (!Apply()) return;
  saved_ = record_;
  CurrentSession().graphQueue.ApplyAttributes(record_);
}

void GraphPropsDialog::AutomaticAxes() {
  try {
    ClearErrorInfo();
    trendolin::AutomaticAxes(record_, doc_);
  } catch (const errnotify&) {
    // A residual plot whose fit cannot be evaluated keeps its axes.
    return;
  }
  xPage_->FillRange(AxisPageOf(record_, GraphAxis::X));
  yPage_->FillRange(AxisPageOf(record_, GraphAxis::Y));
  xPage_->SetLogAllowed(SettleLogSwitch(record_, GraphAxis::X));
  yPage_->SetLogAllowed(SettleLogSwitch(record_, GraphAxis::Y));
}

void GraphPropsDialog::ShowHelp() {
  switch (pages_->currentIndex()) {
    case kPointsPage: gui::ShowHelp(kGraphPropsPointsHelp); break;
    case kOverallPage: gui::ShowHelp(kGraphPropsOverallHelp); break;
    default: gui::ShowHelp(kGraphPropsAxisHelp); break;
  }
}

void GraphPropsDialog::ChoosePointType(int type) {
  record_.pointType = static_cast<std::uint8_t>(type);
  CheckChoice(pointTypeMenu_, type);
  ShowColours();
}

void GraphPropsDialog::ChooseLineStyle(int style) {
  record_.lineStyle = style;
  CheckChoice(lineStyleMenu_, style);
  ShowColours();
}

void GraphPropsDialog::ChooseColourOf(Colour& colour, const QString& title) {
  if (const std::optional<Colour> chosen = ChooseColour(this, colour, title)) {
    colour = *chosen;
    ShowColours();
  }
}

void GraphPropsDialog::ChooseFontOf(FontSpec& font, const QString& sample) {
  ChooseFont(this, font, sample, record_.windowFill);
}

bool GraphPropsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == owner_ && !released_ && IsInput(event->type())) return true;
  return QDialog::eventFilter(watched, event);
}

// ---- opening ----

GraphPropsDialog* ShowGraphProperties(GraphWindow& window, CurveFit& doc) {
  if (window.Record() == nullptr) return nullptr;
  if (openGraphPropsDialogs != 0) {
    platform::TellUser(std::string(platform::ResourceString(kGraphPropsBusyCaption)),
                       std::string(platform::ResourceString(kGraphPropsBusyText)), platform::Icon::Error);
    return nullptr;
  }
  auto* dialog = new GraphPropsDialog(window, doc);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  return dialog;
}

}  // namespace trendolin::gui
