// The variable and function tables of the expression language.
#include "usermodel/expression_program.h"

#include <array>

namespace trendolin {
namespace {

constexpr std::array<std::string_view, kFirstParameterSlot> kFixedVariables = {
    "y", "x", "pi", "avgx", "avgy", "stdx", "stdy", "minx", "maxx", "miny", "maxy",
};

constexpr std::array<std::string_view, kFunctionCount> kFunctionNames = {
    "sqrt", "abs",  "exp",  "log",  "ln",   "log10", "tan",  "cos", "sin", "atan", "acos",
    "asin", "sinh", "cosh", "tanh", "fact", "ceil",  "floor", "j0", "j1",  "y0",   "y1",
};

}  // namespace

int VariableSlotOf(std::string_view name, int parameterCount) {
  for (int slot = 0; slot < kFirstParameterSlot; ++slot) {
    if (kFixedVariables[static_cast<std::size_t>(slot)] == name) return slot;
  }
  if (name.size() == 1 && name[0] >= 'a' && name[0] - 'a' < parameterCount &&
      name[0] - 'a' < kMaxFormulaParameters) {
    return kFirstParameterSlot + (name[0] - 'a');
  }
  return -1;
}

int FunctionIndexOf(std::string_view name) {
  for (int index = 0; index < kFunctionCount; ++index) {
    if (kFunctionNames[static_cast<std::size_t>(index)] == name) return index;
  }
  return -1;
}

std::string_view FunctionName(int index) {
  if (index < 0 || index >= kFunctionCount) return {};
  return kFunctionNames[static_cast<std::size_t>(index)];
}

}  // namespace trendolin
