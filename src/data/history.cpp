// The edit history lists: newest first, trimmed from the oldest end.
#include "data/history.h"

namespace trendolin {

std::string HistoryKindName(int kind) {
  switch (kind) {
    case kHistoryInsert: return "Insert";
    case kHistoryClear: return "Clear";
    case kHistoryReplacePoint: return "Replace Point";
    case kHistoryReplaceRange: return "Replace Range";
    default: return "";
  }
}

void HistoryList::Push(HistoryItem item) {
  items_.push_front(std::move(item));
  Trim();
}

void HistoryList::Pop() {
  if (!items_.empty()) items_.pop_front();
}

void HistoryList::SetMaximum(int maximum) {
  maximum_ = maximum;
  Trim();
}

void HistoryList::Trim() {
  if (maximum_ < 0) return;
  while (static_cast<int>(items_.size()) > maximum_) items_.pop_back();
}

}  // namespace trendolin
