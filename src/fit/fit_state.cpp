// Storage of the fitting engine's process-wide state.
#include "fit/fit_state.h"

namespace trendolin {

int PolynomialDegree = 4;
std::array<datatype, kGuessVectorSize> GuessVector{};
std::array<datatype, kGuessVectorSize> TestCoefficients{};
std::map<int, std::vector<datatype>> StartingGuesses;

}  // namespace trendolin
