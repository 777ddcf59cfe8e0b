// The user model (539): its record's formula and parameters, its entry in
// the model catalogue, and its fit routine.
#pragma once

#include <string_view>

#include "fit/fit_result.h"

namespace trendolin {

class CurveFit;

// The formula of the user model when the program starts.
inline constexpr const char* kStartUserFormula = "a+b*x";

// "Set formula": releases the record's results, stores a lower-case copy of
// `text` (up to a NUL), counts its parameters with NumberofParams and gives
// each the value 1.0, with a count x count covariance matrix. Also installs
// the user model's catalogue routines. 0, or 1 when the formula has no
// parameter (or cannot be counted); the text is stored either way.
int SetUserFormula(UserFitResult& record, std::string_view text);

// "Check formula": 0 when the record's formula passes a checking-mode
// evaluation with every parameter 1 and x = 1; otherwise logs
// "EX: FillUserModels_1" and answers 1.
int CheckUserFormula(const UserFitResult& record);

// What the user model dialog's OK does with the text of its formula field:
// the text is set into a scratch record and checked; when it has a parameter
// and passes, it becomes the formula of the session's user model (every
// parameter back to 1.0) and the answer is true. Otherwise nothing changes
// and the answer is false (the dialog shows the error pair 10/11).
bool AcceptUserFormula(std::string_view text);

// The session's user model as the program starts: the formula "a+b*x".
void InitUserModel();

// Every parameter 1.0 and a zero covariance matrix of the record's size.
void AllocateParameters(UserFitResult& record);

// The catalogue's routines of 539: the formula with the given coefficients
// (the data figures of the session's engine state), and the automatic guesses (every one 1.0).
datatype UserModelValue(const datatype* parameters, datatype x);
void UserModelGuesses(const CurveFit& doc, datatype* guess);

// While one lives, the catalogue routine of 539 evaluates the user model's
// parsed formula as made current on construction (for the record's count and
// the locale's decimal separator), without asking the locale again at every
// point: the setting of a fit, during which neither changes. UserFit makes
// one around each attempt. One at a time in a session.
class UserModelFitScope {
 public:
  UserModelFitScope();
  ~UserModelFitScope();
  UserModelFitScope(const UserModelFitScope&) = delete;
  UserModelFitScope& operator=(const UserModelFitScope&) = delete;
};


}  // namespace trendolin
