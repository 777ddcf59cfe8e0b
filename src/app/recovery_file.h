// The data set kept when the session ends the program (a logout sends
// SIGTERM) while it holds unsaved changes: written beside the settings file
// and offered back at the next start.
#pragma once

#include <string>

namespace trendolin {

class CurveFit;

inline constexpr const char* kRecoveryFileName = "RECOVER.DAT";
// Section of the settings file that names the file the kept data came from
// ("DataFile", empty for an untitled data set).
inline constexpr const char* kRecoverySection = "Recovery";

// The recovery file beside `settingsFile`; for a run without a settings
// file (`settingsFile` empty) the one in the run's folder among the
// temporary files.
std::string RecoveryFilePath(const std::string& settingsFile);

// Writes the data set of `doc` to the recovery file (atomically, with the
// data file writer) and notes in the settings file where it came from (a run
// without one keeps the data all the same, as untitled). Nothing is written
// when `doc` holds no unsaved changes. False when it could not be written.
bool KeepUnsavedData(CurveFit& doc, const std::string& settingsFile);

// At start: when a recovery file is there (beside the settings file, or one
// kept by a run without a settings file), asks whether to restore it.
// Yes opens it as the current, modified data set under the name it had (so
// Save writes where the user would have saved); No deletes it. Any other
// answer (the question closed, nobody there) keeps it for the next start.
enum class RecoveryOutcome { None, Restored, Discarded, Kept };
RecoveryOutcome OfferRecovery(CurveFit& doc, const std::string& settingsFile);

}  // namespace trendolin
