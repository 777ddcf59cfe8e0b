// Storage of the document hooks.
#include "data/document_hooks.h"

namespace trendolin {

DocumentHooks& Hooks() {
  // The one set of hooks of the process, filled in by the windows at start.
  static DocumentHooks hooks;
  return hooks;
}

}  // namespace trendolin
