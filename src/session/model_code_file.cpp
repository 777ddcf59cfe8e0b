// Writing the fitted model as code to a file.
#include "session/model_code_file.h"

#include "data/curve_fit.h"
#include "platform/profile_file.h"
#include "session/file_failure.h"

namespace trendolin {
namespace {

// A name the checks accept in every language, for asking before the person
// has chosen one.
constexpr const char* kAnyName = "fitted_model";

}  // namespace

std::string ModelCodeRefusal(CurveFit& doc, int model, CodeLanguage language) {
  return FormatModelCode(doc, model, language, kAnyName).refusal;
}

std::string ModelCodeNameProblem(CodeLanguage language, const std::string& name) {
  return CodeNameProblem(language, name);
}

int WriteModelCodeFile(CurveFit& doc, const std::string& path, int model, CodeLanguage language,
                       const std::string& name, std::string* error) {
  const ModelCode code = FormatModelCode(doc, model, language, name);
  if (!code.refusal.empty()) {
    if (error) *error = code.refusal;
    return 0;
  }
  std::string writerError;
  if (!platform::WriteFileAtomically(path, code.text, &writerError)) {
    if (error) {
      // The writer may name only the folder it could not write in.
      const std::string reason = WriteFailureReason(path, writerError);
      *error = reason.find(path) == std::string::npos ? path + ": " + reason : reason;
    }
    return 0;
  }
  return 1;
}

ExportOutcome ExportModelCode(CurveFit& doc, const std::string& path, int model, CodeLanguage language,
                              const std::string& name) {
  ExportOptions options;
  options.model = model;
  if (const std::optional<MessagePair> refused = CheckExportOptions(doc, options)) {
    platform::ResourceMessageBox(refused->caption, refused->text, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
    return ExportOutcome::NoModel;
  }
  const std::string problem = CodeNameProblem(language, name);
  const std::string refusal = problem.empty() ? ModelCodeRefusal(doc, model, language) : problem;
  if (!refusal.empty()) {
    platform::TellUser(kExportDialogTitle, refusal);
    return ExportOutcome::CannotWrite;
  }
  std::string error;
  if (WriteModelCodeFile(doc, path, model, language, name, &error) != 1) {
    ReportWriteFailure(kExportCannotWrite.caption, kExportCannotWrite.text, path, error);
    return ExportOutcome::CannotWrite;
  }
  return ExportOutcome::Written;
}

}  // namespace trendolin
