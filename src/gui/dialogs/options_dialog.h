// Tools > Options: the application settings on three pages (Application,
// Regression, Printing), edited on a copy. OK or Apply checks the page that
// is showing (and any other page the person changed), then puts the copy in
// force and writes it to the settings file.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "app/app_settings.h"
#include "graph/printer_facts.h"
#include "session/options_rules.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // `applied` runs after new settings have been put in force, so the main
  // window can bring its menus and toolbar in step.
  OptionsDialog(CurveFit& doc, std::function<void()> applied, QWidget* parent);

  void accept() override;

  // Checks the pages and puts the settings in force; false when a value was
  // refused (the person is on its field).
  bool Apply();

  QTabWidget* Pages() const { return tabs_; }
  QLineEdit* Field(OptionsField field) const;

 private:
  QWidget* BuildApplicationPage();
  QWidget* BuildRegressionPage();
  QWidget* BuildPrintingPage();
  void ShowPrinterTexts();
  void PrintSetup();
  void BrowseDataPath();
  void Help();

  ApplicationPageFields ApplicationFields() const;
  RegressionPageFields RegressionFields() const;
  PrintingPageFields PrintingFields() const;
  void ShowFields();
  void Refuse(const OptionsRefusal& refusal, OptionsPage page);

  CurveFit& doc_;
  std::function<void()> applied_;
  AppSettings working_;
  std::optional<PrinterFacts> printer_;  // the printer the page describes; none installed
  // What each page showed, so that OK knows which pages were changed.
  ApplicationPageFields shownApplication_;
  RegressionPageFields shownRegression_;
  PrintingPageFields shownPrinting_;

  QTabWidget* tabs_ = nullptr;
  // Application
  QCheckBox* ctl3d_ = nullptr;
  QCheckBox* noGraphs_ = nullptr;
  QCheckBox* autoSort_ = nullptr;
  QCheckBox* showImport_ = nullptr;
  QCheckBox* background_ = nullptr;
  QCheckBox* saveWindowPos_ = nullptr;
  QCheckBox* animate_ = nullptr;
  QLineEdit* dataPath_ = nullptr;
  QLineEdit* dataExt_ = nullptr;
  QLineEdit* undoLevels_ = nullptr;
  QButtonGroup* renderLevel_ = nullptr;
  // Regression
  QLineEdit* diverge_ = nullptr;
  QLineEdit* tolerance_ = nullptr;
  QLineEdit* iterations_ = nullptr;
  QLineEdit* maxDegree_ = nullptr;
  QLineEdit* defDegree_ = nullptr;
  QCheckBox* autoGuesses_ = nullptr;
  QCheckBox* quickDerivatives_ = nullptr;
  // Printing
  QLineEdit* marginTop_ = nullptr;
  QLineEdit* marginBottom_ = nullptr;
  QLineEdit* marginLeft_ = nullptr;
  QLineEdit* marginRight_ = nullptr;
  QRadioButton* monochrome_ = nullptr;
  QRadioButton* colour_ = nullptr;
  QLabel* printerName_ = nullptr;
  QLabel* printerScale_ = nullptr;
  QLabel* printerOrientation_ = nullptr;
  QLabel* printerPaper_ = nullptr;
  QLabel* printerResolution_ = nullptr;
};

}  // namespace trendolin::gui
