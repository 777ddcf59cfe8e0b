// Settings, data loading and JSON helpers shared by the commands of trendolin-cli.
#include "cli/common.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/error_handle.h"
#include "app/out_of_memory.h"
#include "cli/model_names.h"
#include "data/data_file.h"
#include "session/data_file_flows.h"
#include "session/drivers.h"
#include "fit/engine_state.h"
#include "session/interpolation_drivers.h"
#include "session/linear_fits_dialogs.h"
#include "fit/model_desc.h"
#include "fit/nonlinear.h"
#include "platform/headless_ui.h"
#include "platform/resource_strings.h"
#include "precision/errors.h"
#include "session/nonlinear_routine.h"
#include "session/session.h"
#include "usermodel/user_model.h"
#include "session/user_model_dialog.h"

namespace cli {

void LoadRunSettings(const GlobalOptions& global) {
  const std::string settingsFile = SettingsFilePath(global);
  trendolin::CurrentSession().settings = trendolin::ReadAppSettings(settingsFile);
  trendolin::ApplyLocaleSetting(trendolin::CurrentSession().settings.locale);
  // A nonlinear fit's history goes beside the settings file, as in the windows.
  trendolin::SetHistoryFolder(std::filesystem::path(settingsFile).parent_path().string());
}

void AddImportOptions(CLI::App& command, ImportFlags& flags) {
  command.add_option("--first-column", flags.firstColumn, "First file column to read (from 1)");
  command.add_option("--columns", flags.columns, "Number of consecutive file columns to read");
  command.add_option("--generate-x", flags.generateX, "Generate x as START,STEP instead of reading it");
  command.add_flag("--uncertainty", flags.uncertainty, "The last column read holds the uncertainties");
}

std::optional<std::vector<std::string>> SplitList(const std::string& text, std::size_t count) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts.size() != count) return std::nullopt;
  return parts;
}

std::optional<std::pair<double, double>> ParseGenerateX(const std::string& text) {
  const std::optional<std::vector<std::string>> parts = SplitList(text, 2);
  if (!parts || (*parts)[0].empty() || (*parts)[1].empty()) return std::nullopt;
  char* end0 = nullptr;
  char* end1 = nullptr;
  const double start = std::strtod((*parts)[0].c_str(), &end0);
  const double step = std::strtod((*parts)[1].c_str(), &end1);
  if (*end0 != '\0' || *end1 != '\0') return std::nullopt;
  return std::pair{start, step};
}

bool ApplyImportFlags(const ImportFlags& flags, trendolin::ImportOptions& options, std::string* why) {
  if (flags.firstColumn) options.firstColumn = *flags.firstColumn;
  if (flags.columns) options.columnsToRead = *flags.columns;
  options.uncertainty = flags.uncertainty;
  if (flags.generateX) {
    const std::optional<std::pair<double, double>> startStep = ParseGenerateX(*flags.generateX);
    if (!startStep) {
      *why = kGenerateXUsage;
      return false;
    }
    // "inf", "nan" and values beyond the float range pass strtod: the import
    // rules below refuse x values that are not finite, as the dialog does.
    options.generateX = true;
    options.xStart = static_cast<trendolin::datatype>(startStep->first);
    options.xIncrement = static_cast<trendolin::datatype>(startStep->second);
  }
  trendolin::DeriveImportOptions(options);
  const int problem = trendolin::CheckImportOptions(options);
  if (problem != 0) {
    *why = std::string(platform::ResourceString(110)) + ": " + std::string(platform::ResourceString(problem));
    return false;
  }
  return true;
}

int LoadDataFile(trendolin::CurveFit& doc, const std::string& file, const ImportFlags& flags) {
  auto* ui = dynamic_cast<platform::HeadlessUi*>(&platform::CurrentUi());
  bool suppress = true;
  if (flags.Any() && ui) {
    // The import dialog is how a person picks columns: the run shows it to
    // the handler, whatever the stored setting says (never written back).
    trendolin::CurrentSession().settings.SetFlag(trendolin::kFlagShowFileImportDlg, true);
    trendolin::CurrentSession().autoOpenFlag = 0;
    suppress = false;
    ui->SetImportDialogHandler([flags](trendolin::ImportOptions& options) {
      std::string why;
      if (ApplyImportFlags(flags, options, &why)) return true;
      std::cerr << why << '\n';
      return false;
    });
  }
  const int loaded = trendolin::OpenDataFile(doc, file, false, false, suppress);
  if (ui) ui->SetImportDialogHandler(nullptr);
  return loaded == 1 ? kExitOk : kExitUsage;
}

std::string FloatText(trendolin::datatype value) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  return ec == std::errc() ? std::string(text, end) : std::string();
}

nlohmann::json JsonFloat(trendolin::datatype value) {
  const std::string text = FloatText(value);
  if (text.empty()) return nullptr;
  return std::strtod(text.c_str(), nullptr);
}

namespace {

std::optional<int> WeightingSchemeNamed(const std::string& name) {
  if (name == "none") return trendolin::kWeightingNone;
  if (name == "uncertainty") return trendolin::kWeightingUncertainty;
  if (name == "x") return trendolin::kWeightingX;
  if (name == "x2") return trendolin::kWeightingX2;
  if (name == "y") return trendolin::kWeightingY;
  if (name == "y2") return trendolin::kWeightingY2;
  return std::nullopt;
}

// Parses "a,b,..." into one float per coefficient.
std::optional<std::vector<float>> ParseGuessList(const std::string& text) {
  std::vector<float> values;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    char* end = nullptr;
    const float v = std::strtof(piece.c_str(), &end);
    if (piece.empty() || *end != '\0') return std::nullopt;
    values.push_back(v);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return values;
}

// The fit options override the settings for this run only (never written back).
bool ApplyModelFitFlags(const ModelFitFlags& flags) {
  trendolin::AppSettings& s = trendolin::CurrentSession().settings;
  if (!flags.weighting.empty()) {
    const std::optional<int> scheme = WeightingSchemeNamed(flags.weighting);
    if (!scheme) {
      std::cerr << "--weighting takes none, uncertainty, x, x2, y or y2\n";
      return false;
    }
    s.weighting = *scheme;
  }
  // The limits are the Options dialog's. A tolerance that is not a number
  // would never let a fit converge, and the iteration limit sizes the
  // histories of a fit. 0 iterations is allowed here, unlike in the dialog:
  // it evaluates the model at the guesses, with its statistics.
  if (flags.tolerance && !(std::isfinite(*flags.tolerance) && *flags.tolerance >= 0)) {
    std::cerr << "--tolerance takes a finite number, 0 or more (0: to the resolution of single precision)\n";
    return false;
  }
  if (flags.maxIterations && (*flags.maxIterations < 0 || *flags.maxIterations > trendolin::kMostIterations)) {
    std::cerr << "--max-iterations takes a whole number from 0 to " << trendolin::kMostIterations << '\n';
    return false;
  }
  if (flags.divergeIterations &&
      (*flags.divergeIterations < 1 || *flags.divergeIterations > trendolin::kMostDivergeIterations)) {
    std::cerr << "--diverge-iterations takes a whole number from 1 to " << trendolin::kMostDivergeIterations
              << '\n';
    return false;
  }
  if (flags.tolerance) s.nonlinearTolerance = *flags.tolerance;
  if (flags.maxIterations) s.maxIterations = *flags.maxIterations;
  if (flags.divergeIterations) s.divergeIterations = *flags.divergeIterations;
  if (flags.slowDerivatives) s.SetFlag(trendolin::kFlagQuickDerivatives, false);
  return true;
}

// The initial-guess dialog of this run: answered once (with the given
// guesses, or as shown) and cancelled when the same fit asks again after an
// error, so a failing fit ends with its message instead of retrying for ever.
// The answer keeps the error that ended the attempt before it: the
// cancellation is the run's own doing, not the reason the fit failed.
std::shared_ptr<std::optional<trendolin::ErrorRecord>> AnswerGuessDialogOnce(
    const std::optional<std::vector<float>>& guesses) {
  auto firstError = std::make_shared<std::optional<trendolin::ErrorRecord>>();
  auto* ui = dynamic_cast<platform::HeadlessUi*>(&platform::CurrentUi());
  if (!ui) return firstError;
  auto asked = std::make_shared<int>(0);
  ui->SetGuessDialogHandler([guesses, asked, firstError](int, int m, float* values) {
    if ((*asked)++ > 0) {
      if (!*firstError && trendolin::ErrorInfo.id != 0) *firstError = trendolin::ErrorInfo;
      return false;
    }
    if (guesses) {
      for (int i = 0; i < m && i < static_cast<int>(guesses->size()); ++i) values[i] = (*guesses)[i];
    }
    return true;
  });
  return firstError;
}

}  // namespace

void AddUserFormulaOption(CLI::App& command, std::optional<std::string>& formula) {
  command.add_option("--expr", formula, "Formula of the user model (539), such as \"a*exp(b*x)\"");
}

int SetRunUserFormula(const std::optional<std::string>& formula) {
  trendolin::InitUserModel();
  if (!formula) return kExitOk;
  if (formula->size() > trendolin::kFormulaReaderMaxChars) {
    std::cerr << "--expr takes a formula of at most " << trendolin::kFormulaReaderMaxChars << " characters\n";
    return kExitUsage;
  }
  if (const auto refused = trendolin::UserModelDialogOk(*formula)) {
    std::cerr << platform::ResourceString(refused->caption) << ": " << platform::ResourceString(refused->text)
              << '\n';
    return kExitUsage;
  }
  return kExitOk;
}

void AddModelFitOptions(CLI::App& command, ModelFitFlags& flags) {
  command.add_option("-m,--model", flags.model, "Model id (500..539) or name, as `models` lists them")->required();
  command.add_option("--weighting", flags.weighting, "none, uncertainty, x, x2, y or y2");
  command.add_option("--guess", flags.guess, "Initial guesses a,b,... instead of the automatic ones");
  command.add_option("--tolerance", flags.tolerance,
                     "Share of chi-square a step must gain for a nonlinear fit to go on (0: to the resolution of "
                     "single precision)");
  command.add_option("--max-iterations", flags.maxIterations, "Iteration limit of the nonlinear fit");
  command.add_option("--diverge-iterations", flags.divergeIterations, "Failed steps in a row before giving up");
  command.add_flag("--slow-derivatives", flags.slowDerivatives, "Refined derivatives instead of quick ones");
  AddUserFormulaOption(command, flags.expr);
  command.add_option("--degree", flags.degree, "Degree of the polynomial (502), as its dialog takes it");
  command.add_option("--tension", flags.tension, "Tension of the tension spline (538), as its dialog takes it");
  AddImportOptions(command, flags.import);
}

namespace {

// --degree and --tension answer the dialogs of the polynomial and tension
// spline commands, with the same validation and messages; without them the
// dialogs take the values they would show. The user model's dialog is
// answered by --expr (or the formula the run starts with).
int ApplyModelDialogValues(trendolin::CurveFit& doc, int id, const ModelFitFlags& flags) {
  if (flags.degree && id != trendolin::kPolynomialModel) {
    std::cerr << "--degree is for the polynomial (-m 502)\n";
    return kExitUsage;
  }
  if (flags.tension && id != 538) {
    std::cerr << "--tension is for the tension spline (-m 538)\n";
    return kExitUsage;
  }
  if (flags.degree) {
    const trendolin::DegreeCheck check =
        trendolin::CheckDegreeText(*flags.degree, doc.nPoints, trendolin::CurrentSession().settings.maxPolyDegree);
    if (check.verdict != trendolin::DegreeVerdict::Accepted) {
      if (check.warning) {
        std::cerr << platform::ResourceString(check.warning->caption) << ": "
                  << platform::ResourceString(check.warning->text) << '\n';
      } else {
        std::cerr << "--degree takes a whole number\n";
      }
      return kExitUsage;
    }
    trendolin::CurrentEngine().polynomialDegree = check.degree;
    trendolin::CurrentSession().modelDialogs.polynomial = 0;
  }
  if (flags.tension) {
    const trendolin::TensionCheck check = trendolin::CheckTensionText(*flags.tension);
    if (check.verdict != trendolin::TensionVerdict::Accepted) {
      if (check.warning) {
        std::cerr << platform::ResourceString(check.warning->caption) << ": "
                  << platform::ResourceString(check.warning->text) << '\n';
      } else {
        std::cerr << "--tension takes a number\n";
      }
      return kExitUsage;
    }
    trendolin::ApplyTension(doc, check.tension);
    trendolin::CurrentSession().modelDialogs.tension = 0;
  }
  if (id == trendolin::kUserModel) trendolin::CurrentSession().modelDialogs.userModel = 0;
  return kExitOk;
}

}  // namespace

int FitModelForCommand(const GlobalOptions& global, const std::string& file, const ModelFitFlags& flags,
                       trendolin::CurveFit& doc, int* id, double* fitSeconds) {
  std::string why;
  const std::optional<int> model = ResolveModel(flags.model, &why);
  if (!model) {
    std::cerr << "-m: " << why << '\n';
    return kExitUsage;
  }
  *id = *model;
  if (flags.expr && *id != trendolin::kUserModel) {
    std::cerr << "--expr sets the formula of the user model: use it with -m 539 (or -m user)\n";
    return kExitUsage;
  }
  LoadRunSettings(global);
  if (!ApplyModelFitFlags(flags)) return kExitUsage;
  if (int status = SetRunUserFormula(flags.expr); status != kExitOk) return status;
  std::optional<std::vector<float>> guesses;
  if (!flags.guess.empty()) {
    guesses = ParseGuessList(flags.guess);
    if (!guesses) {
      std::cerr << "--guess takes numbers separated by commas, one per coefficient\n";
      return kExitUsage;
    }
  }
  if (int status = LoadDataFile(doc, file, flags.import); status != kExitOk) return status;
  doc.CalcDataStats();
  // Opening a file chooses its weighting (uncertainty weighting for a file
  // with an uncertainty column), as in the windows; the options of the run
  // come after it and win.
  ApplyModelFitFlags(flags);

  if (int status = ApplyModelDialogValues(doc, *id, flags); status != kExitOk) return status;

  const trendolin::ModelDesc desc = trendolin::DescriptorOf(doc, *id);
  // The count is known only now: the polynomial has its degree plus one
  // coefficients, the user model one per letter of its formula. Too few
  // would leave the dialog's other fields as shown, too many would be lost.
  if (guesses && static_cast<int>(guesses->size()) != desc.m) {
    std::cerr << "--guess takes one value per coefficient: " << desc.m << " for " << desc.name << ", not "
              << guesses->size() << '\n';
    return kExitUsage;
  }
  if (guesses) {
    // Guesses of one's own replace the automatic ones: the dialog is shown,
    // and as they give every coefficient the automatic ones are not
    // computed at all.
    trendolin::CurrentSession().settings.initGuess = 1;
    trendolin::CurrentEngine().nonlinearFlags.suppliedGuesses = *guesses;
  }
  const auto firstError = AnswerGuessDialogOnce(guesses);
  trendolin::ClearErrorInfo();
  Stopwatch watch;
  // The model's command, as the Fit menu sends it: the drivers fit the model
  // and queue its graph record (a record only, without a display).
  trendolin::InstallFitDriverHooks(doc);
  trendolin::Reexamine(doc, 0);
  if (!trendolin::CurrentSession().availability.ModelEnabled(*id)) {
    std::cerr << desc.name << ": the data do not allow this model (too few points, or x values it cannot take).\n";
    return kExitFailed;
  }
  try {
    trendolin::GuardAllocation([&] { return trendolin::DispatchFitCommand(doc, *id); });
  } catch (const trendolin::errnotify&) {
    trendolin::ErrorInfo.FitId = *id;
    trendolin::ErrorHandle();
  }
  if (fitSeconds) *fitSeconds = watch.Seconds();
  trendolin::CurrentEngine().nonlinearFlags.suppliedGuesses.clear();
  if (!trendolin::FitIsCurrent(doc, *id)) {
    if (*firstError && trendolin::ErrorInfo.id == trendolin::kErrGuessCancelled) trendolin::ErrorInfo = **firstError;
    std::cerr << desc.name << ": the fit ended without a result.\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace cli
