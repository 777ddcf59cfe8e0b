// ErrorHandle and the guard markers of the diagnostic log.
#include "app/error_handle.h"

#include "app/run_flags.h"
#include "fit/model_desc.h"
#include "platform/debug_log.h"
#include "platform/resource_strings.h"
#include "platform/ui.h"

namespace trendolin {
namespace {

constexpr std::size_t kModelNameMax = 30;
constexpr std::size_t kMessageFormatMax = 200;

std::string Cut(std::string_view text, std::size_t max) { return std::string(text.substr(0, max)); }

std::string (*modelNameProvider)(int) = ModelShortName;

std::string WithoutGuessAdvice(const std::string& text) {
  constexpr std::string_view kAdvice = " or try other initial guesses";
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = text.find(kAdvice); at != std::string::npos; at = text.find(kAdvice, from)) {
    out.append(text, from, at - from);
    from = at + kAdvice.size();
  }
  out.append(text, from, std::string::npos);
  return out;
}

}  // namespace

thread_local std::string SuppressedReport;

void SetModelNameProvider(std::string (*provider)(int fitId)) {
  modelNameProvider = provider ? provider : ModelShortName;
}

std::string ErrorMessage(const ErrorRecord& record) {
  std::string model;
  if (record.FitId != -1) model = Cut(modelNameProvider(record.FitId), kModelNameMax);
  std::string format = Cut(platform::ResourceString(record.id + kErrorMessageBase), kMessageFormatMax);
  std::string text = platform::FormatResource(format, {model, record.routine});
  // The advice to try other initial guesses would send the person looking
  // for a dialog that a line, a polynomial or an interpolation does not have.
  if (record.FitId != -1 && !StartsFromGuesses(record.FitId)) text = WithoutGuessAdvice(text);
  return text;
}

void ErrorHandle(ErrorRecord& record) {
  DebugLog("ErrorHandle: entering routine.\n");
  if (ReportsSuppressed()) {
    if (record.id != kErrSuppressed && record.id != kErrGuessCancelled) SuppressedReport = ErrorMessage(record);
    record.id = kErrSuppressed;
    return;
  }
  if (record.id == kErrGuessCancelled) return;
  if (record.id < kFirstErrorId || record.id > kLastErrorId) {
    DebugLogF("WARNING:  Unknown error id -- %d.\n", record.id);
  }
  platform::CurrentUi().ShowErrorReport(ErrorMessage(record), kErrorHelpTopic);
}

}  // namespace trendolin
