// A rectangular block of data values, stored column by column.
#pragma once

#include <vector>

#include "precision/datatype.h"

namespace trendolin {

// block[c][r] is row r of column c. Every column holds the same number of rows.
using DataBlock = std::vector<std::vector<datatype>>;

inline int BlockColumns(const DataBlock& block) { return static_cast<int>(block.size()); }
inline int BlockRows(const DataBlock& block) { return block.empty() ? 0 : static_cast<int>(block.front().size()); }

// A zero-filled block of the given size.
inline DataBlock MakeBlock(int rows, int columns) {
  return DataBlock(static_cast<std::size_t>(columns), std::vector<datatype>(static_cast<std::size_t>(rows), 0.0f));
}

}  // namespace trendolin
