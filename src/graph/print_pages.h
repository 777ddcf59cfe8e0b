// Printed pages without the printer: the printable rectangle from the page's
// geometry and the margin settings, the data set as a paginated table drawn
// on any Surface, and the scale a graph is drawn at on paper.
#pragma once

#include <string>

#include "graph/surface.h"

namespace trendolin {

class CurveFit;

// A printer page in device pixels: the whole sheet, and where the area the
// printer can mark starts on it and how large it is.
struct PageGeometry {
  int dotsPerInchX = 0;
  int dotsPerInchY = 0;
  int physicalWidth = 0;  // the sheet
  int physicalHeight = 0;
  int offsetX = 0;  // the printable area's top-left corner on the sheet
  int offsetY = 0;
  int printableWidth = 0;
  int printableHeight = 0;
};

// The margin settings, in inches.
struct PrintMargins {
  double top = 1.0;
  double bottom = 1.0;
  double left = 1.0;
  double right = 1.0;
};

// Where a page is drawn, in the coordinates of the printable area. Each edge
// is computed from its margin on the sheet and kept inside the printable
// area; margins that meet or cross leave an empty rectangle (left == right
// or top == bottom) rather than an inverted one.
Rect PrintableRect(const PageGeometry& page, const PrintMargins& margins);

// The texts on every data page.
inline constexpr const char* kDataPageTitle = "Data Points";
inline constexpr const char* kPrintedProgramName = "Trendolin 1.4";
inline constexpr const char* kDataPageNumber = "Page %d";
inline constexpr const char* kPointColumnTitle = "Point";
inline constexpr const char* kXColumnTitle = "X Data";
inline constexpr const char* kYColumnTitle = "Y Data";

// The header in 18-point Arial, the table in 10-point bold Arial.
FontSpec DataPageHeaderFont();
FontSpec DataPageTableFont();

// Where everything of a data page goes, from the printable rectangle and the
// two fonts' measures (line heights and the table font's average character
// width), in device pixels.
struct DataPageLayout {
  Rect area;           // the printable rectangle
  int headerLine = 0;  // the header font's line height
  int tableLine = 0;   // the table font's line height
  int charWidth = 0;   // the table font's average character width
  int ruleY = 0;       // the rule under the column titles; the first row starts on it
  int pointRight = 0;  // right edges of the point, x and y columns
  int xRight = 0;
  int yRight = 0;

  // Where row `k` of a page (from 0) starts.
  int RowTop(int k) const { return ruleY + k * tableLine; }
  // How many rows fit on one page: rows go on while the next one would end
  // two and a half lines above the bottom margin. Never less than one, so
  // that every page prints something and a job always ends.
  int RowsPerPage() const;
};

DataPageLayout MakeDataPageLayout(const Rect& area, int headerLine, int tableLine, int charWidth);

// Pages needed for `points` data points; an empty data set still prints one
// page, with the header and the column titles.
int DataPageCount(int points, const DataPageLayout& layout);

// Draws page `pageNumber` (from 1) of the data table, starting at point
// `firstPoint` (from 0), on `surface` inside `area`. `fileName` is the data
// file shown in the header. Returns the first point of the next page, or -1
// when the last point is on this page.
int DrawDataPage(Surface& surface, const CurveFit& doc, const std::string& fileName, const Rect& area,
                 int firstPoint, int pageNumber);

// The scale a graph is drawn at on paper against the screen: the printer's
// resolution times one and a half over the screen's.
float PrintScale(int printerDotsPerInch, int screenDotsPerInch);

}  // namespace trendolin
