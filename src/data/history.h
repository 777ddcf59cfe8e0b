// The edit history: what the elementary data edits recorded, so that they can
// be undone and redone. Both lists keep their newest item first.
#pragma once

#include <deque>
#include <string>

#include "data/data_block.h"

namespace trendolin {

enum HistoryKind : int {
  kHistoryInsert = 1,
  kHistoryClear = 2,
  kHistoryReplacePoint = 4,
  kHistoryReplaceRange = 8,
  // Every row and column at once, put back after a column-wide change
  // (scaling, translation, clipping, sorting, the swap, a transform). Its
  // name is the change's own ("Scale", "Clip" ...), not the kind's.
  kHistoryReplaceData = 16,
};

struct HistoryBlock {
  int firstRow = 0;
  int firstColumn = 0;
  int rowCount = 0;
  int columnCount = 0;
  DataBlock values;  // columnCount columns of rowCount values
};

struct HistoryItem {
  int kind = 0;
  std::string name;  // "Insert", "Clear", "Replace Point", "Replace Range"; the change's name for Replace Data
  HistoryBlock block;
};

// The stored name of a kind.
std::string HistoryKindName(int kind);

// A list of items, newest first, never longer than its maximum (-1: no limit).
class HistoryList {
 public:
  void Push(HistoryItem item);
  void Pop();
  void Clear() { items_.clear(); }
  void SetMaximum(int maximum);
  int Maximum() const { return maximum_; }

  bool Empty() const { return items_.empty(); }
  int Count() const { return static_cast<int>(items_.size()); }
  const HistoryItem& Newest() const { return items_.front(); }
  const HistoryItem& At(int index) const { return items_[static_cast<std::size_t>(index)]; }

 private:
  void Trim();

  std::deque<HistoryItem> items_;
  int maximum_ = -1;
};

struct History {
  HistoryList undo;
  HistoryList redo;
  // Set while a redo is applied, so the reverse it records on the undo list
  // does not empty the redo list.
  bool redoInProgress = false;
};

}  // namespace trendolin
