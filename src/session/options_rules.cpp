#include "session/options_rules.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

#include "data/text_format.h"
#include "fit/engine_state.h"
#include "fit/fit_types.h"
#include "session/graph_properties.h"
#include "session/manipulation.h"

namespace trendolin {
namespace {

// The lowest and highest polynomial degree the program offers.
constexpr int kLowestMaxDegree = 3;
constexpr int kHighestMaxDegree = 19;
// No sheet is a thousand inches wide; the settings file keeps no more.
constexpr double kWidestMargin = 1000.0;

std::string Format(const char* format, double value) {
  std::string text;
  AppendFormat(text, format, value);
  return text;
}

std::string IntegerText(int value) { return std::to_string(value); }

OptionsRefusal Beep(OptionsField field) {
  OptionsRefusal refusal;
  refusal.field = field;
  return refusal;
}

OptionsRefusal Message(OptionsField field, int text) {
  OptionsRefusal refusal;
  refusal.field = field;
  refusal.caption = kOptionsMessageCaption;
  refusal.text = text;
  return refusal;
}

// An integer field read as the dialog's number reader reads it: a value that
// is not a whole number (or does not fit an int) is refused with a beep.
std::optional<int> ReadInt(const std::string& text) {
  const std::optional<long> value = ReadIntegerField(text);
  if (!value || *value < INT_MIN || *value > INT_MAX) return std::nullopt;
  return static_cast<int>(*value);
}

std::optional<double> ReadReal(const std::string& text) {
  std::size_t bad = 0;
  return ReadNumberField(text, &bad);
}

// A field still showing the text it was given keeps the exact value behind
// it: a margin of 0.75 shown as "0.8" stays 0.75 when the page is taken.
std::optional<double> ReadUnlessShown(const std::string& text, double current, const char* format) {
  if (text == Format(format, current)) return current;
  return ReadReal(text);
}

}  // namespace

void SeedPolynomialDegree(const AppSettings& settings) {
  CurrentEngine().polynomialDegree = std::clamp(settings.defPolyDegree, 1, kPolynomialSlotSize - 1);
}

const char* OptionsHelpTopic(OptionsPage page) {
  switch (page) {
    case OptionsPage::Regression: return kRegOptionsHelp;
    case OptionsPage::Printing: return kPrintOptionsHelp;
    case OptionsPage::Application: break;
  }
  return kAppOptionsHelp;
}

ApplicationPageFields ApplicationPageOf(const AppSettings& settings) {
  ApplicationPageFields fields;
  // This desktop always has the modern controls the switch once loaded.
  fields.ctl3d = true;
  fields.noGraphs = settings.IsOn(kFlagNoGraphs);
  fields.autoSort = settings.IsOn(kFlagAutoSort);
  fields.showImportDialog = settings.IsOn(kFlagShowFileImportDlg);
  fields.backgroundProcess = settings.IsOn(kFlagBackgroundProcess);
  fields.saveWindowPos = settings.IsOn(kFlagSaveWindowPos);
  fields.animatePlot = settings.IsOn(kFlagAnimatePlot);
  fields.dataPath = settings.dataPath;
  fields.dataExt = settings.dataExt;
  fields.undoLevels = IntegerText(settings.undoLevels);
  fields.renderLevel = settings.renderLevel < 0 || settings.renderLevel > 2 ? 0 : settings.renderLevel;
  return fields;
}

RegressionPageFields RegressionPageOf(const AppSettings& settings) {
  RegressionPageFields fields;
  fields.divergeIterations = IntegerText(settings.divergeIterations);
  fields.tolerance = Format("%g", settings.nonlinearTolerance);
  fields.maxIterations = IntegerText(settings.maxIterations);
  fields.maxPolyDegree = IntegerText(settings.maxPolyDegree);
  fields.defPolyDegree = IntegerText(settings.defPolyDegree);
  fields.automaticGuesses = settings.initGuess == 0;
  fields.quickDerivatives = settings.IsOn(kFlagQuickDerivatives);
  return fields;
}

PrintingPageFields PrintingPageOf(const AppSettings& settings) {
  PrintingPageFields fields;
  fields.marginTop = Format("%.1f", settings.marginTop);
  fields.marginBottom = Format("%.1f", settings.marginBottom);
  fields.marginLeft = Format("%.1f", settings.marginLeft);
  fields.marginRight = Format("%.1f", settings.marginRight);
  fields.colour = settings.IsOn(kFlagColorPrint);
  return fields;
}

std::optional<OptionsRefusal> TakeApplicationPage(const ApplicationPageFields& fields, AppSettings& settings) {
  AppSettings page = settings;
  page.SetFlag(kFlagCtl3d, fields.ctl3d);
  page.SetFlag(kFlagNoGraphs, fields.noGraphs);
  page.SetFlag(kFlagAutoSort, fields.autoSort);
  page.SetFlag(kFlagShowFileImportDlg, fields.showImportDialog);
  page.SetFlag(kFlagBackgroundProcess, fields.backgroundProcess);
  page.SetFlag(kFlagSaveWindowPos, fields.saveWindowPos);
  page.SetFlag(kFlagAnimatePlot, fields.animatePlot);

  std::error_code ec;
  if (fields.dataPath.empty() || !std::filesystem::is_directory(fields.dataPath, ec)) {
    OptionsRefusal refusal = Beep(OptionsField::DataPath);
    // An empty field is given the folder the program works in, to start from.
    if (fields.dataPath.empty()) {
      const std::filesystem::path current = std::filesystem::current_path(ec);
      if (!ec) refusal.replacement = current.string();
    }
    return refusal;
  }
  page.dataPath = fields.dataPath;
  page.dataExt = fields.dataExt.substr(0, kDataExtChars);

  const std::optional<int> undoLevels = ReadInt(fields.undoLevels);
  if (!undoLevels) return Beep(OptionsField::UndoLevels);
  if (*undoLevels <= 0) return Message(OptionsField::UndoLevels, kUndoLevelsText);
  page.undoLevels = *undoLevels;
  page.renderLevel = fields.renderLevel < 0 || fields.renderLevel > 2 ? 0 : fields.renderLevel;
  settings = page;
  return std::nullopt;
}

std::optional<OptionsRefusal> TakeRegressionPage(const RegressionPageFields& fields, AppSettings& settings) {
  // Every field is read before any is checked: a text that is no number is
  // the number reader's refusal, which comes first.
  const std::optional<int> diverge = ReadInt(fields.divergeIterations);
  if (!diverge) return Beep(OptionsField::DivergeIterations);
  const std::optional<double> tolerance = ReadUnlessShown(fields.tolerance, settings.nonlinearTolerance, "%g");
  if (!tolerance) return Beep(OptionsField::Tolerance);
  const std::optional<int> iterations = ReadInt(fields.maxIterations);
  if (!iterations) return Beep(OptionsField::MaxIterations);
  const std::optional<int> maxDegree = ReadInt(fields.maxPolyDegree);
  if (!maxDegree) return Beep(OptionsField::MaxPolyDegree);
  const std::optional<int> defDegree = ReadInt(fields.defPolyDegree);
  if (!defDegree) return Beep(OptionsField::DefPolyDegree);

  if (*diverge <= 0) return Message(OptionsField::DivergeIterations, kDivergeText);
  if (*tolerance < 0) return Message(OptionsField::Tolerance, kToleranceText);
  if (*iterations <= 0) return Message(OptionsField::MaxIterations, kIterationsText);
  if (*maxDegree < kLowestMaxDegree || *maxDegree > kHighestMaxDegree) {
    return Message(OptionsField::MaxPolyDegree, kMaxDegreeText);
  }
  if (*defDegree < kLowestMaxDegree || *defDegree > *maxDegree) {
    return Message(OptionsField::DefPolyDegree, kDefDegreeText);
  }
  // Typed into fields of 4 and 5 digits, the limits cannot pass the stored
  // ones; a longer text pasted in is held to them all the same.
  settings.divergeIterations = std::min(*diverge, kMostDivergeIterations);
  settings.nonlinearTolerance = *tolerance;
  settings.maxIterations = std::min(*iterations, kMostIterations);
  settings.maxPolyDegree = *maxDegree;
  settings.defPolyDegree = *defDegree;
  settings.initGuess = fields.automaticGuesses ? 0 : 1;
  settings.SetFlag(kFlagQuickDerivatives, fields.quickDerivatives);
  return std::nullopt;
}

std::optional<OptionsRefusal> TakePrintingPage(const PrintingPageFields& fields,
                                               const std::optional<PrinterPage>& page, AppSettings& settings) {
  struct Margin {
    const std::string& text;
    double current;
    OptionsField field;
    bool across;  // measured across the sheet (left, right) or down it
    double value = 0;
  };
  Margin margins[] = {{fields.marginLeft, settings.marginLeft, OptionsField::MarginLeft, true},
                      {fields.marginRight, settings.marginRight, OptionsField::MarginRight, true},
                      {fields.marginTop, settings.marginTop, OptionsField::MarginTop, false},
                      {fields.marginBottom, settings.marginBottom, OptionsField::MarginBottom, false}};
  for (Margin& margin : margins) {
    const std::optional<double> value = ReadUnlessShown(margin.text, margin.current, "%.1f");
    if (!value) return Beep(margin.field);
    margin.value = *value;
  }
  for (const Margin& margin : margins) {
    // A negative margin would print off the sheet, printer or not.
    if (margin.value < 0 || margin.value >= kWidestMargin) return Beep(margin.field);
    if (page && margin.value >= (margin.across ? page->width : page->height)) return Beep(margin.field);
  }
  const double left = margins[0].value, right = margins[1].value;
  const double top = margins[2].value, bottom = margins[3].value;
  if (page) {
    if (top + bottom + page->offsetY >= page->height) {
      OptionsRefusal refusal = Beep(OptionsField::MarginBottom);
      refusal.alsoSelect = OptionsField::MarginTop;
      return refusal;
    }
    if (left + right + page->offsetX >= page->width) {
      OptionsRefusal refusal = Beep(OptionsField::MarginRight);
      refusal.alsoSelect = OptionsField::MarginLeft;
      return refusal;
    }
  }
  settings.marginLeft = left;
  settings.marginRight = right;
  settings.marginTop = top;
  settings.marginBottom = bottom;
  settings.SetFlag(kFlagColorPrint, fields.colour);
  return std::nullopt;
}

}  // namespace trendolin
