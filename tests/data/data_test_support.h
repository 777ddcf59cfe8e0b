// Helpers shared by the data-set tests: building a document from values.
#pragma once

#include <vector>

#include "data/curve_fit.h"

namespace testsupport {

// A document holding the given columns (x, y and optionally uncertainties).
inline void Fill(trendolin::CurveFit& doc, const std::vector<std::vector<float>>& columns) {
  const int rows = columns.empty() ? 0 : static_cast<int>(columns[0].size());
  doc.ResetData();
  doc.AllocateData(rows, static_cast<int>(columns.size()), columns.size() == 3 ? 1 : 0);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    for (int r = 0; r < rows; ++r) doc.At(r, static_cast<int>(c)) = columns[c][static_cast<std::size_t>(r)];
  }
  doc.bStatsStale = 1;
}

// An x, y document with its statistics computed, ready to be fitted.
inline void FillColumns(trendolin::CurveFit& doc, const std::vector<float>& x, const std::vector<float>& y) {
  Fill(doc, {x, y});
  doc.CalcDataStats();
}

inline std::vector<float> ColumnValues(const trendolin::CurveFit& doc, int column) {
  std::vector<float> values;
  for (int r = 0; r < doc.nPoints; ++r) values.push_back(doc.At(r, column));
  return values;
}

}  // namespace testsupport
