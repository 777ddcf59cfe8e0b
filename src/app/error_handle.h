// Reporting an error to the user: the one place where ErrorInfo becomes a message.
#pragma once

#include <string>

#include "precision/errors.h"

namespace trendolin {

// Shows the error report for `record` through the Ui: resource string
// id + 15 filled with the model's name (resource string 1000 + FitId) and the
// routine name, with the help topic "fpe.html". Shows nothing for id 9, and
// nothing while reports are suppressed (the id then becomes 10).
void ErrorHandle(ErrorRecord& record = ErrorInfo);

// What the last report or warning held back during an unattended run would
// have said (an error's message before its identifier became 10). A group
// run reads it after each model, to tell at its end which models failed and
// why. Each thread has its own, like ErrorInfo.
extern thread_local std::string SuppressedReport;

// The name a report gives the model `fitId`. Until the model catalogue
// installs its own (which knows, say, the current polynomial degree), the
// resource string 1000 + fitId is used as it stands.
void SetModelNameProvider(std::string (*provider)(int fitId));

// The message ErrorHandle would show for `record` (no side effects).
std::string ErrorMessage(const ErrorRecord& record);

// The help topic of the error report.
inline constexpr const char* kErrorHelpTopic = "fpe.html";

}  // namespace trendolin
