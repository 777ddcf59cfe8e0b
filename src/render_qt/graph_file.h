// Pictures of a graph as files: PNG, SVG or PDF, chosen by the file name.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "graph/surface.h"

namespace trendolin {

enum class GraphFileFormat { Png, Svg, Pdf };

// The format a file name asks for by its extension (any case); nullopt for
// any other name.
std::optional<GraphFileFormat> GraphFileFormatOf(const std::string& path);

// Draws one picture: `area` is the whole picture, (0, 0) to (width, height).
using DrawGraphFn = std::function<void(Surface& surface, const Rect& area)>;

// Renders a picture of width x height pixels with `draw` and writes it to
// `path` in the format its extension names: PNG at 96 dpi, SVG with a
// 96-dpi view box, or PDF on one page the size of the picture. SVG and PDF
// are recorded pictures with text measured as on a PNG, so all three have
// the same layout. The file is written as it is drawn (only a PNG's image is
// held whole) into a temporary file beside `path`, which replaces `path`
// once complete, so a failure never leaves a partial file under that name.
// On failure returns false and, if `error` is given, a reason for
// a person. Exceptions thrown by `draw` pass through, with nothing written.
// Needs a QGuiApplication (fonts).
bool WriteGraphFile(const std::string& path, int width, int height, const DrawGraphFn& draw,
                    std::string* error = nullptr);

}  // namespace trendolin
