// A graph drawn outside a window's own paint: the renderer with the note
// that stands in for a graph it cannot draw, screen-like images, and the
// picture a graph window copies to the clipboard.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include "graph/graph_attr.h"
#include "graph/surface.h"

namespace trendolin {
class CurveFit;
}

namespace trendolin::gui {

// The 9-point bold interface font the windows write their own notes in.
const trendolin::FontSpec& InterfaceFontSpec();

// Renders `record` (scale 1) into `area`. When the renderer raises, logs
// "EX: " + `marker` and draws resource string `failureText` instead:
// word-wrapped and centred from two fifths of the height down, between
// margins of 15 and 3 average character widths, on the button face.
void RenderGraphOrNote(trendolin::Surface& surface, trendolin::CurveFit& doc, trendolin::GraphAttr& record,
                       const trendolin::Rect& area, int outputMode, const char* marker, int failureText);

// An image of `size` logical pixels at `ratio` device pixels each, measuring
// text at `dpi`, filled with `fill`; null when there is no memory for it.
QImage ScreenImage(QSize size, qreal ratio, int dpi, const QColor& fill);

// Puts the graph of `record` on the clipboard as a PNG image and an SVG
// picture of `size`, laid out as on the screen (the record's plot rectangle
// is left as the window stored it).
void CopyGraphToClipboard(trendolin::CurveFit& doc, trendolin::GraphAttr& record, QSize size, int dpi,
                          const QString& title);

}  // namespace trendolin::gui
