// The graph preview of the main window.
#include "graph/preview.h"

#include <cstdio>
#include <string>

#include "data/curve_fit.h"
#include "fit/fit_types.h"
#include "fit/model_desc.h"
#include "graph/graph_attr.h"
#include "graph/system_colours.h"
#include "precision/errors.h"

namespace trendolin {
namespace {

// Display names of the models are resource strings 1000 + (id - 500).
constexpr std::size_t kMaxPreviewTitle = 39;

std::string PreviewModelName(int modelId) {
  std::string name = ModelLongName(modelId);
  if (name.size() > kMaxPreviewTitle) name.resize(kMaxPreviewTitle);
  return name;
}

void HalveFont(FontSpec& font) { font.size /= 2; }

// The note in place of the graph: the button face, and the text centred and
// word-wrapped with half a character's margin.
void DrawNote(Surface& surface, const Rect& client, const std::string& text, const UiMetrics& ui) {
  surface.Save();
  surface.SelectPen(Pen{PenStyle::Solid, 0, kSystemButtonFace});
  surface.SelectBrush(Brush{false, kSystemButtonFace});
  surface.Rectangle(client);
  surface.SelectFont(FontSpec{"MS Sans Serif", 90, 700, 0, kSystemButtonText});
  surface.SetTransparentText(true);
  surface.SetTextColour(kSystemButtonText);
  const int margin = ui.charWidth / 2;
  Rect box{client.left + margin, client.top + margin, client.right - margin, client.bottom - margin};
  box.bottom = box.top + surface.MeasureWrappedText(box, text);
  surface.DrawWrappedText(box, text);
  surface.Restore();
}

// Two pixels of sunken edge: shadow above and to the left, highlight below
// and to the right.
void DrawSunkenBorder(Surface& surface, const Rect& r) {
  if (r.Width() < 4 || r.Height() < 4) return;
  surface.Save();
  const auto edge = [&](Colour topLeft, Colour bottomRight, int inset) {
    const int left = r.left + inset, top = r.top + inset, right = r.right - 1 - inset, bottom = r.bottom - 1 - inset;
    surface.SelectPen(Pen{PenStyle::Solid, 0, topLeft});
    surface.MoveTo({left, bottom});
    surface.LineTo({left, top});
    surface.LineTo({right, top});
    surface.SelectPen(Pen{PenStyle::Solid, 0, bottomRight});
    surface.MoveTo({right, top});
    surface.LineTo({right, bottom});
    surface.LineTo({left - 1, bottom});
  };
  edge(kSystemButtonShadow, kSystemButtonHighlight, 0);
  edge(kSystemButtonText, kSystemButtonFace, 1);
  surface.Restore();
}

}  // namespace

int PreviewModel(int animatedModel, std::optional<int> selectedItemData) {
  if (animatedModel != 0) return animatedModel;
  if (selectedItemData) return *selectedItemData;
  return kPlotModel;
}

GraphAttr PreviewAttributes(const platform::ProfileFile& settings, CurveFit& doc, int modelId) {
  GraphAttr attr;
  ReadGraphDefaults(settings, attr, doc);
  attr.modelId = modelId;
  for (FontSpec* font : {&attr.titleFont, &attr.xFont, &attr.yFont, &attr.xTickFont, &attr.yTickFont}) {
    HalveFont(*font);
  }
  attr.SetSwitch(kSwDrawHeader, false);
  attr.SetSwitch(kSwBox, false);
  attr.title = PreviewModelName(modelId);
  return attr;
}

void PaintPreview(Surface& surface, const Rect& client, const platform::ProfileFile& settings, CurveFit& doc,
                  int modelId, bool enabled, const UiMetrics& ui, int layers) {
  if (modelId == kPreviewNothing) return;
  const bool curveOnly = (layers & kRenderCurveOnly) != 0;
  if (!enabled) {
    if (curveOnly) return;
    DrawNote(surface, client, kPreviewDisabledText, ui);
  } else {
    try {
      GraphAttr attr = PreviewAttributes(settings, doc, modelId);
      const ModelDesc desc = DescriptorOf(doc, modelId);
      Render(surface, attr, MakePlotMetrics(attr, kPreviewScale, kPreviewScale), client, desc,
             kRenderScreen | layers, ui);
      // The border went round the picture with its first layer.
      if (curveOnly) return;
    } catch (const errnotify&) {
      LogExceptionMarker("ThumbPlot_1");
      char text[512];
      std::snprintf(text, sizeof text, kPreviewFailedFormat, PreviewModelName(modelId).c_str());
      DrawNote(surface, client, text, ui);
    }
  }
  DrawSunkenBorder(surface, client);
}

}  // namespace trendolin
