// The rules of the Options dialog without its widgets: what each page shows
// of the application settings, and how the typed values are read and checked
// before they reach the settings. Only the page that is showing is checked,
// and only when the person confirms it.
#pragma once

#include <optional>
#include <string>

#include "app/app_settings.h"
#include "graph/printer_facts.h"

namespace trendolin {

inline constexpr const char* kOptionsCaption = "Options";
inline constexpr const char* kAppOptionsHelp = "appoptions.html";
inline constexpr const char* kRegOptionsHelp = "regoptions.html";
inline constexpr const char* kPrintOptionsHelp = "printoptions.html";

enum class OptionsPage { Application = 0, Regression = 1, Printing = 2 };

// The help page of each page of the dialog.
const char* OptionsHelpTopic(OptionsPage page);

// The longest texts the fields take.
inline constexpr int kDataPathChars = 260;
inline constexpr int kDataExtChars = 3;
inline constexpr int kUndoLevelsDigits = 2;
inline constexpr int kDivergeDigits = 4;
inline constexpr int kIterationsDigits = 5;
inline constexpr int kDegreeDigits = 2;

// The message pairs (caption, text) of the refusals.
inline constexpr int kOptionsMessageCaption = 3;
inline constexpr int kMaxDegreeText = 2;
inline constexpr int kIterationsText = 4;
inline constexpr int kToleranceText = 5;
inline constexpr int kDefDegreeText = 6;
inline constexpr int kDivergeText = 7;
inline constexpr int kUndoLevelsText = 127;

// The field a refused value sits in, so that the dialog can put the person
// back on it.
enum class OptionsField {
  None,
  DataPath, UndoLevels,
  DivergeIterations, Tolerance, MaxIterations, MaxPolyDegree, DefPolyDegree,
  MarginTop, MarginBottom, MarginLeft, MarginRight,
};

struct ApplicationPageFields {
  bool ctl3d = true;
  bool noGraphs = false;
  bool autoSort = false;
  bool showImportDialog = true;
  bool backgroundProcess = false;
  bool saveWindowPos = false;
  bool animatePlot = false;
  std::string dataPath;
  std::string dataExt;
  std::string undoLevels;
  int renderLevel = 0;  // 0, 1 or 2
  bool operator==(const ApplicationPageFields&) const = default;
};

struct RegressionPageFields {
  std::string divergeIterations;
  std::string tolerance;  // "%g"
  std::string maxIterations;
  std::string maxPolyDegree;
  std::string defPolyDegree;
  bool automaticGuesses = true;  // InitGuess 0
  bool quickDerivatives = false;
  bool operator==(const RegressionPageFields&) const = default;
};

struct PrintingPageFields {
  std::string marginTop, marginBottom, marginLeft, marginRight;  // "%.1f" inches
  bool colour = true;
  bool operator==(const PrintingPageFields&) const = default;
};

ApplicationPageFields ApplicationPageOf(const AppSettings& settings);
RegressionPageFields RegressionPageOf(const AppSettings& settings);
PrintingPageFields PrintingPageOf(const AppSettings& settings);

// Why a page was not taken. The dialog beeps (or shows the message pair when
// `text` is not 0), puts `replacement` into the field when it has one, selects
// `alsoSelect` and then `field`, and leaves the focus on `field`.
struct OptionsRefusal {
  OptionsField field = OptionsField::None;
  OptionsField alsoSelect = OptionsField::None;
  int caption = 0;
  int text = 0;  // 0: a beep only
  std::optional<std::string> replacement;
};

// Each reads and checks one page and, when every value is right, stores the
// page in `settings`; on a refusal `settings` is left as it was.
std::optional<OptionsRefusal> TakeApplicationPage(const ApplicationPageFields& fields, AppSettings& settings);
std::optional<OptionsRefusal> TakeRegressionPage(const RegressionPageFields& fields, AppSettings& settings);
// `page` is the sheet of the printer the margins are checked against;
// without a printer only the values themselves are checked.
std::optional<OptionsRefusal> TakePrintingPage(const PrintingPageFields& fields,
                                               const std::optional<PrinterPage>& page, AppSettings& settings);

// The workstation proposes the default degree for the first polynomial fit
// and again whenever the default is changed; the degree dialog then keeps
// the degree last chosen.
void SeedPolynomialDegree(const AppSettings& settings);

}  // namespace trendolin
