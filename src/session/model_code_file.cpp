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

}  // namespace trendolin
