// Printed pages without the printer: printable rectangle, data table, scale.
#include "graph/print_pages.h"

#include <algorithm>
#include <cstdio>

#include "data/curve_fit.h"

namespace trendolin {
namespace {

constexpr int kPointColumnChars = 15;  // the point column's width in average characters
constexpr int kNumberInsetChars = 2;   // numbers end this far left of their column's edge

// A margin in device pixels, truncated toward zero as the page is laid out.
int MarginPixels(int dotsPerInch, double inches) { return static_cast<int>(dotsPerInch * inches); }

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Format(const char* format, int value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void DrawHeader(Surface& surface, const DataPageLayout& page, const std::string& fileName, int pageNumber) {
  const Rect& a = page.area;
  const int z = page.headerLine;
  surface.SelectFont(DataPageHeaderFont());
  surface.SelectBrush(Brush{true, kWhite});
  surface.Rectangle(Rect{a.left, a.top, a.right, a.top + 3 * z});
  surface.TextOut(Point{a.left + z / 2, a.top + z / 2}, kDataPageTitle, HAlign::Left, VAlign::Top);
  surface.TextOut(Point{a.left + z / 2, a.top + 3 * z / 2}, fileName, HAlign::Left, VAlign::Top);
  surface.TextOut(Point{a.right - z / 2, a.top + z / 2}, kPrintedProgramName, HAlign::Right, VAlign::Top);
  surface.TextOut(Point{a.right - z / 2, a.top + 3 * z / 2}, Format(kDataPageNumber, pageNumber), HAlign::Right,
                  VAlign::Top);
}

void DrawTableFrame(Surface& surface, const DataPageLayout& page) {
  const Rect& a = page.area;
  surface.SelectFont(DataPageTableFont());
  surface.MoveTo(Point{a.left, page.ruleY});
  surface.LineTo(Point{a.right, page.ruleY});
  const int rulesTop = page.ruleY - 3 * page.tableLine / 2;
  for (int x : {page.pointRight, page.xRight}) {
    surface.MoveTo(Point{x, rulesTop});
    surface.LineTo(Point{x, a.bottom});
  }
  const int titleTop = page.ruleY - 3 * page.tableLine / 2;
  surface.TextOut(Point{(a.left + page.pointRight) / 2, titleTop}, kPointColumnTitle, HAlign::Centre, VAlign::Top);
  surface.TextOut(Point{(page.pointRight + page.xRight) / 2, titleTop}, kXColumnTitle, HAlign::Centre, VAlign::Top);
  surface.TextOut(Point{(page.xRight + page.yRight) / 2, titleTop}, kYColumnTitle, HAlign::Centre, VAlign::Top);
}

void DrawRow(Surface& surface, const DataPageLayout& page, int top, int point, double x, double y) {
  const int inset = kNumberInsetChars * page.charWidth;
  surface.TextOut(Point{page.pointRight - inset, top}, Format("%d", point + 1), HAlign::Right, VAlign::Top);
  surface.TextOut(Point{page.xRight - inset, top}, Format("%.10f", x), HAlign::Right, VAlign::Top);
  surface.TextOut(Point{page.yRight - inset, top}, Format("%.10f", y), HAlign::Right, VAlign::Top);
}

}  // namespace

Rect PrintableRect(const PageGeometry& page, const PrintMargins& margins) {
  auto near = [](int dpi, double inches, int offset, int limit) {
    return std::clamp(MarginPixels(dpi, inches) - offset, 0, std::max(limit, 0));
  };
  auto far = [](int dpi, double inches, int offset, int sheet, int limit, int nearEdge) {
    const int edge = std::min(sheet - MarginPixels(dpi, inches) - offset, limit);
    return std::max(edge, nearEdge);
  };
  Rect r;
  r.left = near(page.dotsPerInchX, margins.left, page.offsetX, page.printableWidth);
  r.top = near(page.dotsPerInchY, margins.top, page.offsetY, page.printableHeight);
  r.right = far(page.dotsPerInchX, margins.right, page.offsetX, page.physicalWidth, page.printableWidth, r.left);
  r.bottom = far(page.dotsPerInchY, margins.bottom, page.offsetY, page.physicalHeight, page.printableHeight, r.top);
  return r;
}

FontSpec DataPageHeaderFont() { return FontSpec{"Arial", 180, 400, 0, kBlack}; }
FontSpec DataPageTableFont() { return FontSpec{"Arial", 100, 700, 0, kBlack}; }

DataPageLayout MakeDataPageLayout(const Rect& area, int headerLine, int tableLine, int charWidth) {
  DataPageLayout page;
  page.area = area;
  page.headerLine = std::max(headerLine, 1);
  page.tableLine = std::max(tableLine, 1);
  page.charWidth = std::max(charWidth, 1);
  page.ruleY = area.top + 5 * page.headerLine;
  page.pointRight = area.left + kPointColumnChars * page.charWidth;
  page.xRight = (page.pointRight + area.right) / 2;
  page.yRight = area.right;
  return page;
}

int DataPageLayout::RowsPerPage() const {
  // Row k fits while its top plus two and a half lines stays on the page.
  const int room = 2 * (area.bottom - ruleY) - 5 * tableLine;  // in half lines
  const int rows = room < 0 ? 0 : room / (2 * tableLine) + 1;
  return std::max(rows, 1);
}

int DataPageCount(int points, const DataPageLayout& layout) {
  if (points <= 0) return 1;
  const int perPage = layout.RowsPerPage();
  return (points + perPage - 1) / perPage;
}

int DrawDataPage(Surface& surface, const CurveFit& doc, const std::string& fileName, const Rect& area,
                 int firstPoint, int pageNumber) {
  surface.Save();
  surface.SetTransparentText(true);
  surface.SetTextColour(kBlack);
  surface.SelectPen(Pen{PenStyle::Solid, 0, kBlack});
  surface.SelectFont(DataPageHeaderFont());
  const int headerLine = surface.Metrics().height;
  surface.SelectFont(DataPageTableFont());
  const FontMetrics table = surface.Metrics();
  const DataPageLayout page = MakeDataPageLayout(area, headerLine, table.height, table.averageCharWidth);

  DrawHeader(surface, page, fileName, pageNumber);
  DrawTableFrame(surface, page);

  const int rows = std::min(page.RowsPerPage(), std::max(doc.nPoints - firstPoint, 0));
  for (int k = 0; k < rows; ++k) {
    const int point = firstPoint + k;
    DrawRow(surface, page, page.RowTop(k), point, doc.At(point, doc.nXColumn), doc.At(point, doc.nYColumn));
  }
  surface.Restore();
  const int next = firstPoint + rows;
  return next < doc.nPoints ? next : -1;
}

float PrintScale(int printerDotsPerInch, int screenDotsPerInch) {
  if (screenDotsPerInch <= 0) return 1.0f;
  return static_cast<float>(printerDotsPerInch * 1.5 / screenDotsPerInch);
}

}  // namespace trendolin
