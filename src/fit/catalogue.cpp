// The model catalogue: every model id with its menu label, prompt, formula,
// parameter count, kind and class, the data it cannot take, and its names.
#include <cctype>
#include <string>

#include "fit/model_desc.h"
#include "platform/resource_strings.h"

namespace trendolin {

const std::vector<CatalogueEntry>& Catalogue() {
  static const std::vector<CatalogueEntry> table = {
      {500, "&Linear...", "Linear Regression,  y=a+bx", "a+bx", 2, FIT_LINEAR, CLASS_LINEAR},
      {501, "&Quadratic...", "Quadratic Regression,  y=a+bx+cx^2", "a+bx+cx^2", 3, FIT_LINEAR, CLASS_LINEAR},
      {502, "nth Order &Polynomial...", "nth order Polynomial,  y=a+bx+cx^2+dx^3...", "a+bx+...", 0, FIT_LINEAR,
       CLASS_POLYNOMIAL},
      {503, "P&lot...", "Plot the current data set", "", 0, FIT_INTERPOLATION, CLASS_INTERPOLATION},
      {504, "&Exponential...", "Exponential Function, y=ae^(bx)", "a*exp(b*x)", 2, FIT_NONLINEAR, CLASS_EXPONENTIAL},
      {505, "Modified Exponential...", "Modified Exponential, y=a*e^(b/x)", "a*exp(b/x)", 2, FIT_NONLINEAR,
       CLASS_EXPONENTIAL, true, false},
      {506, "&Logarithm...", "Logarithm fit, y=a+b*ln(x)", "a+b*ln(x)", 2, FIT_NONLINEAR, CLASS_EXPONENTIAL, true,
       true},
      {507, "Reciprocal Log...", "Reciprocal Logarithm Fit, y=1/(a+b*ln(x))", "1/(a+b*ln(x))", 2, FIT_NONLINEAR,
       CLASS_EXPONENTIAL, true, true},
      {508, "&Vapor Pressure Model...", "Vapor Pressure Model, y=exp(a+b/x+cln(x))", "exp(a+b/x+c*ln(x))", 3,
       FIT_NONLINEAR, CLASS_EXPONENTIAL, true, true},
      {509, "Power...", "Power Equation, y=ax^b", "a*x^b", 2, FIT_NONLINEAR, CLASS_POWER},
      {510, "Modified Power...", "Modified Power Curvefit, y=a*b^x", "a*b^x", 2, FIT_NONLINEAR, CLASS_POWER},
      {511, "Shifted Power...", "Shifted Power Equation, y=a*(x-b)^c", "a*(x-b)^c", 3, FIT_NONLINEAR, CLASS_POWER},
      {512, "Geometric...", "Geometric Fit, y=ax^(bx)", "a*x^(b*x)", 2, FIT_NONLINEAR, CLASS_POWER},
      {513, "Modified Geometric ...", "Modified Geometric fit, a*x^(b/x)", "a*x^(b/x)", 2, FIT_NONLINEAR,
       CLASS_POWER, true, false},
      {514, "Root...", "Root Fit, y=a^(1/x)", "a*b^(1/x)", 2, FIT_NONLINEAR, CLASS_POWER, true, false},
      {515, "Hoerl Model...", "Hoerl Model Curvefit, y=a*(b^x)*(x^c)", "a*b^x*x^c", 3, FIT_NONLINEAR, CLASS_POWER},
      {516, "Modified Hoerl Model...", "Modified Hoerl Model, y=a*b^(1/x)*x^c", "a*b^(1/x)*x^c", 3, FIT_NONLINEAR,
       CLASS_POWER, true, false},
      {517, "&Reciprocal...", "Reciprocal Model, y=1/(ax+b)", "1/(a*x+b)", 2, FIT_NONLINEAR, CLASS_YIELD_DENSITY},
      {518, "Reciprocal &Quadratic...", "Reciprocal Quadratic Model, y=1/(a+bx+cx^2)", "1/(a+b*x+c*x^2)", 3,
       FIT_NONLINEAR, CLASS_YIELD_DENSITY},
      {519, "Bleasdale Model...", "Bleasdale Model, y=(a+bx)^(-1/c)", "(a+b*x)^(-1/c)", 3, FIT_NONLINEAR,
       CLASS_YIELD_DENSITY},
      {520, "Harris Model...", "Harris Model, y=1/(a+bx^c)", "1/(a+b*x^c)", 3, FIT_NONLINEAR, CLASS_YIELD_DENSITY},
      {521, "&Gompertz Relation...", "Gompertz Relation, y=a*exp(-exp(b-cx))", "a*exp(-exp(b-c*x))", 3,
       FIT_NONLINEAR, CLASS_SIGMOIDAL},
      {522, "&Logistic Model...", "Logistic Model, y=a/(1+b*exp(-cx))", "a/(1+b*exp(-c*x))", 3, FIT_NONLINEAR,
       CLASS_SIGMOIDAL},
      {523, "&Weibull Model...", "Weibull Model, y=a-b*exp(-c*x^d)", "a-b*exp(-c*x^d)", 4, FIT_NONLINEAR,
       CLASS_SIGMOIDAL, true, false},
      {524, "&MMF Model...", "MMF Model, y=(a*b+c*x^d)/(b+x^d)", "(a*b+c*x^d)/(b+x^d)", 4, FIT_NONLINEAR,
       CLASS_SIGMOIDAL},
      {525, "&Richards Model...", "Richards Model, y=a/(1+exp(b-cx))^(1/d)", "a/(1+exp(b-c*x))^(1/d)", 4,
       FIT_NONLINEAR, CLASS_SIGMOIDAL},
      {526, "&Saturation-Growth Rate...", "Saturation Growth Rate Model, y=ax/(b+x)", "a*x/(x+b)", 2, FIT_NONLINEAR,
       CLASS_GROWTH},
      {527, "&Exponential Association (2)...", "Exponential association, y=a(1-exp(-bx)", "a*(1-exp(-b*x))", 2,
       FIT_NONLINEAR, CLASS_GROWTH},
      {528, "Exponential Association (&3)...", "Exponential Association (3), y=a(b-exp(-cx))", "a*(b-exp(-c*x))", 3,
       FIT_NONLINEAR, CLASS_GROWTH},
      {529, "&Sinusoidal...", "Sinusoidal Fit, y=a+b*cos(cx+d)", "a+b*cos(c*x+d)", 4, FIT_NONLINEAR, CLASS_MISC},
      {530, "&Gaussian Model..", "Gaussian Fit, y=a*exp((-(b-x)^2)/(2*c^2))", "a*exp(-0.5*(x-b)^2/c/c)", 3,
       FIT_NONLINEAR, CLASS_MISC},
      {531, "&Hyperbolic...", "Hyperbolic Fit, y=a+b/x", "a+b/x", 2, FIT_NONLINEAR, CLASS_MISC, true, false},
      {532, "Heat &Capacity...", "Heat Capacity Model, y=a+bx+c/x^2", "a+b*x+c/x/x", 3, FIT_NONLINEAR, CLASS_MISC,
       true, false},
      {533, "&Rational Function...", "Rational Function, y=(a+bx)/(1+cx+dx^2)", "(a+b*x)/(1+c*x+d*x*x)", 4,
       FIT_NONLINEAR, CLASS_MISC},
      {534, "Polynomial &Interpolation...", "Lagrangian Interpolation,  y=a+bx+cx^2+dx^3...", "", 0,
       FIT_INTERPOLATION, CLASS_INTERPOLATION},
      {535, "&Linear Spline...", "Linear Spline Interpolation", "", 2, FIT_INTERPOLATION, CLASS_INTERPOLATION},
      {536, "&Quadratic Spline...", "Quadratic Spline Interpolation", "", 3, FIT_INTERPOLATION, CLASS_INTERPOLATION},
      {537, "&Cubic Spline...", "Cubic Spline Interpolation", "", 4, FIT_INTERPOLATION, CLASS_INTERPOLATION},
      {538, "&Tension Spline...", "Tension Spline Model", "", 1, FIT_INTERPOLATION, CLASS_INTERPOLATION},
      {539, "&User Model...", "Define a nonlinear model", "the user's expression", 0, FIT_NONLINEAR, CLASS_USER},
  };
  return table;
}

const CatalogueEntry* CatalogueEntryOf(int id) {
  if (id < kFirstCatalogueModel || id > kLastCatalogueModel) return nullptr;
  return &Catalogue()[static_cast<std::size_t>(id - kFirstCatalogueModel)];
}

const std::vector<ModelFamily>& ModelFamilies() {
  static const std::vector<ModelFamily> families = {
      {CLASS_EXPONENTIAL, "&Exponential Family", "Exponential Models"},
      {CLASS_POWER, "P&ower Law Family", "Power Law Models"},
      {CLASS_YIELD_DENSITY, "&Yield-Density Models", "Yield-Density Models"},
      {CLASS_GROWTH, "&Growth Models", "Growth Models"},
      {CLASS_SIGMOIDAL, "&Sigmoidal Models", "Sigmoidal (S-shaped) Models"},
      {CLASS_MISC, "&Miscellaneous", "Miscellaneous Models"},
  };
  return families;
}

bool ExcludedByZeroX(int id) {
  const CatalogueEntry* entry = CatalogueEntryOf(id);
  return entry != nullptr && entry->needsNonzeroX;
}

bool ExcludedByNegativeX(int id) {
  const CatalogueEntry* entry = CatalogueEntryOf(id);
  return entry != nullptr && entry->needsNonnegativeX;
}

// Resource strings 1000..1039 and 1500..1539 hold the two names, in model order.
constexpr int kLongNameBase = 500;
constexpr int kShortNameBase = 1000;

std::string ModelLongName(int id) { return std::string(platform::ResourceString(id + kLongNameBase)); }
std::string ModelShortName(int id) { return std::string(platform::ResourceString(id + kShortNameBase)); }

std::string ModelLabelWord(int id, char joiner) {
  const CatalogueEntry* entry = CatalogueEntryOf(id);
  if (!entry) return {};
  std::string word;
  bool pendingJoin = false;
  for (const char* c = entry->menuLabel; *c; ++c) {
    const unsigned char ch = static_cast<unsigned char>(*c);
    if (std::isalnum(ch)) {
      if (pendingJoin && !word.empty()) word += joiner;
      pendingJoin = false;
      word += static_cast<char>(std::tolower(ch));
    } else if (ch == ' ' || ch == '-') {
      pendingJoin = true;
    }
  }
  return word;
}

bool StartsFromGuesses(int id) {
  const CatalogueEntry* entry = CatalogueEntryOf(id);
  return entry != nullptr && entry->kind == FIT_NONLINEAR;
}

}  // namespace trendolin
