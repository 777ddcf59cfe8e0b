// The `analyze` command: one model fitted to a data file, then one page of the
// Analyze dialog (y at x, x at y, derivative, integral or arc length) on it.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/error_handle.h"
#include "cli/common.h"
#include "session/analysis_pages.h"
#include "fit/model_desc.h"
#include "precision/errors.h"
#include "session/session.h"

namespace cli {
namespace {

using trendolin::AnalyzeOutcome;
using trendolin::AnalyzeStatus;
using trendolin::datatype;

struct AnalyzeOptions {
  std::string file;
  ModelFitFlags fit;
  std::string yAt;
  std::string xAt;
  std::string start;
  std::string derivative;
  std::vector<std::string> integral;
  std::vector<std::string> arc;
  bool json = false;
  // The page options as registered, to tell which one was given.
  CLI::Option* yAtOption = nullptr;
  CLI::Option* xAtOption = nullptr;
  CLI::Option* startOption = nullptr;
  CLI::Option* derivativeOption = nullptr;
  CLI::Option* integralOption = nullptr;
  CLI::Option* arcOption = nullptr;
};

// The x axis a new graph window of the fit starts with: the data's x range
// widened by a tenth at each end in single precision, where non-negative
// data keep a non-negative axis and an empty range becomes 1 wide. The
// dialog's starting x for the inverse is its mid-point.
std::pair<datatype, datatype> AutomaticXAxis(const trendolin::CurveFit& doc) {
  constexpr datatype kSmallestNormal = 1.1754944e-38f;
  const datatype low = doc.fMin[0];
  const datatype high = doc.fMax[0];
  const datatype widening = 0.1f * (high - low);
  datatype axisMin = low - widening;
  datatype axisMax = high + widening;
  if (low > -kSmallestNormal && axisMin < 0.0f) axisMin = 0.1f * low;
  if (std::fabs(axisMax - axisMin) < kSmallestNormal) axisMax += 1.0f;
  return {axisMin, axisMax};
}

// The page the options ask for; -1 (the reason printed) unless exactly one
// page was chosen.
int ChosenPage(const AnalyzeOptions& options) {
  const std::pair<const CLI::Option*, int> choices[] = {
      {options.yAtOption, trendolin::kYAtXPage},
      {options.xAtOption, trendolin::kXAtYPage},
      {options.derivativeOption, trendolin::kDerivativePage},
      {options.integralOption, trendolin::kIntegralPage},
      {options.arcOption, trendolin::kArcLengthPage},
  };
  int chosen = 0;
  int page = -1;
  for (const auto& [option, which] : choices) {
    if (option->count() == 0) continue;
    ++chosen;
    page = which;
  }
  if (chosen != 1) {
    std::cerr << "analyze needs exactly one of --y-at, --x-at, --derivative, --integral, --arc\n";
    return -1;
  }
  return page;
}

// Types the option values into the page's fields, as a person would.
void FillPageFields(const AnalyzeOptions& options, int page, trendolin::AnalyzeFields& fields) {
  switch (page) {
    case trendolin::kYAtXPage: fields.yAtX = options.yAt; break;
    case trendolin::kXAtYPage:
      fields.xAtYTarget = options.xAt;
      if (options.startOption->count() > 0) fields.xAtYStart = options.start;
      break;
    case trendolin::kDerivativePage: fields.derivativeAt = options.derivative; break;
    case trendolin::kIntegralPage:
      fields.integralLower = options.integral[0];
      fields.integralUpper = options.integral[1];
      break;
    default:
      fields.arcLower = options.arc[0];
      fields.arcUpper = options.arc[1];
      break;
  }
}

// The option whose text a page refused as a number.
const char* OptionOfField(int field) {
  switch (field) {
    case trendolin::kYAtXField: return "--y-at";
    case trendolin::kXAtYTargetField: return "--x-at";
    case trendolin::kXAtYStartField: return "--start";
    case trendolin::kDerivativeField: return "--derivative";
    case trendolin::kIntegralLowerField:
    case trendolin::kIntegralUpperField: return "--integral";
    default: return "--arc";
  }
}

const std::string& FieldText(const trendolin::AnalyzeFields& fields, int field) {
  switch (field) {
    case trendolin::kYAtXField: return fields.yAtX;
    case trendolin::kXAtYTargetField: return fields.xAtYTarget;
    case trendolin::kXAtYStartField: return fields.xAtYStart;
    case trendolin::kDerivativeField: return fields.derivativeAt;
    case trendolin::kIntegralLowerField: return fields.integralLower;
    case trendolin::kIntegralUpperField: return fields.integralUpper;
    case trendolin::kArcLowerField: return fields.arcLower;
    default: return fields.arcUpper;
  }
}

// Why a calculation showed "ERR": the error record's message when the fault
// left one (an integration passes on only that it failed).
std::string FaultMessage(int id) {
  trendolin::ErrorRecord record = trendolin::ErrorInfo;
  if (record.id < trendolin::kFirstErrorId || record.id > trendolin::kLastErrorId) {
    return "The calculation failed.";
  }
  record.FitId = id;
  return trendolin::ErrorMessage(record);
}

void PrintOutcome(const AnalyzeOutcome& outcome, int id, double seconds, bool json) {
  const bool number = outcome.status == AnalyzeStatus::Shown && std::isfinite(outcome.value);
  const std::string warning = outcome.warningText.value_or("");
  if (json) {
    nlohmann::json out = {{"model", id},
                          {"value", number ? JsonFloat(outcome.value) : nlohmann::json(nullptr)},
                          {"text", outcome.resultText.value_or("")},
                          {"warning", warning},
                          {"seconds", seconds}};
    std::cout << out.dump(2) << '\n';
    return;
  }
  std::printf("%s\n", outcome.resultText.value_or("").c_str());
  if (!warning.empty()) std::cerr << warning << '\n';
}

int RunAnalyze(const GlobalOptions& global, const AnalyzeOptions& options) {
  const int page = ChosenPage(options);
  if (page < 0) return kExitUsage;

  trendolin::CurveFit& doc = trendolin::CurrentSession().data;
  int id = 0;
  if (int status = FitModelForCommand(global, options.file, options.fit, doc, &id); status != kExitOk) {
    return status;
  }
  const trendolin::ModelDesc desc = trendolin::DescriptorOf(doc, id);
  if (!desc.evaluate) {
    std::cerr << desc.name << ": there is no fitted curve to analyze.\n";
    return kExitFailed;
  }

  const auto [axisMin, axisMax] = AutomaticXAxis(doc);
  trendolin::AnalyzeFields shown = trendolin::InitialAnalyzeFields(axisMin, axisMax);
  FillPageFields(options, page, shown);

  Stopwatch watch;
  trendolin::ClearErrorInfo();
  const AnalyzeOutcome outcome = trendolin::CalculateAnalyzePage(desc, page, shown);
  const double seconds = watch.Seconds();

  switch (outcome.status) {
    case AnalyzeStatus::BadField:
      std::cerr << OptionOfField(outcome.focusField) << ": '" << FieldText(shown, outcome.focusField)
                << "' is not a number\n";
      return kExitUsage;
    case AnalyzeStatus::Refused:  // the message box went to standard error
      return kExitFailed;
    case AnalyzeStatus::Error:
      std::cerr << "analyze: " << FaultMessage(id) << '\n';
      PrintOutcome(outcome, id, seconds, options.json);
      return kExitFailed;
    case AnalyzeStatus::Shown: break;
  }
  PrintOutcome(outcome, id, seconds, options.json);
  if (!std::isfinite(outcome.value)) {
    std::cerr << "analyze: the result is not a number.\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

void AddAnalyzeCommand(CLI::App& app, const GlobalOptions& global, int& status) {
  auto options = std::make_shared<AnalyzeOptions>();
  CLI::App* analyze = app.add_subcommand("analyze", "Fit one model, then evaluate, invert, differentiate or integrate it");
  analyze->add_option("FILE", options->file, "Data file")->required();
  AddModelFitOptions(*analyze, options->fit);
  options->yAtOption = analyze->add_option("--y-at", options->yAt, "y at this x");
  options->xAtOption = analyze->add_option("--x-at", options->xAt, "x at which the fit takes this y");
  options->startOption = analyze->add_option("--start", options->start,
                                             "Starting x of the search for --x-at (default: mid-point of the x axis)");
  options->startOption->needs(options->xAtOption);
  options->derivativeOption = analyze->add_option("--derivative", options->derivative, "Derivative at this x");
  options->integralOption =
      analyze->add_option("--integral", options->integral, "Definite integral from A to B")->expected(2);
  options->integralOption->type_name("A B");
  options->arcOption = analyze->add_option("--arc", options->arc, "Arc length of the curve from A to B")->expected(2);
  options->arcOption->type_name("A B");
  analyze->add_flag("--json", options->json, "Print one JSON object");
  analyze->callback([&global, &status, options] { status = RunAnalyze(global, *options); });
}

}  // namespace cli
