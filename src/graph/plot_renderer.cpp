// The plot renderer: lays out and draws one graph, step by step, from the
// outer area inwards and from the back to the front.
#include "graph/plot_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "data/curve_fit.h"
#include "fit/fit_verdict.h"
#include "fit/model_desc.h"
#include "graph/draw_object_stack.h"
#include "graph/plot_axes.h"
#include "graph/plot_bands.h"
#include "graph/plot_symbols.h"
#include "precision/errors.h"
#include "precision/fp_guard.h"
#include "precision/math_guard.h"

namespace trendolin {
namespace {

// The header's user-interface font and the printed page's header font.
const FontSpec kUiFont{"MS Sans Serif", 90, 700, 0, kBlack};
const FontSpec kPageHeaderFont{"Arial", 180, 400, 0, kBlack};

// How much room the texts around the plot take, in character widths or
// text heights; a printed page is laid out more generously.
struct LayoutFactors {
  int character;
  double xTitle;
  double title;
  double yTitle;
};
constexpr LayoutFactors kScreenLayout{5, 2.0, 2.0, 2.3};
constexpr LayoutFactors kPrintedLayout{10, 3.5, 3.0, 4.0};

struct PlotColours {
  Colour line, point, foreground, background, grid, windowFill, box, header;
  Colour xTitle, yTitle, xTick, yTick, title;
  Colour warning;  // the header's word on a fit that did not converge
};

constexpr Colour kWarningText = MakeColour(192, 0, 0);

PlotColours ColoursFor(const GraphAttr& attr, bool monochrome) {
  if (monochrome) {
    return {kBlack, kBlack, kBlack, kWhite, kBlack, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack,
            kBlack};
  }
  return {attr.lineColour,       attr.dataPointColour,  attr.foreground,        attr.background,
          attr.gridColour,       attr.windowFill,       attr.boxColour,         kSystemButtonText,
          attr.xFont.colour,     attr.yFont.colour,     attr.xTickFont.colour,  attr.yTickFont.colour,
          attr.titleFont.colour, kWarningText};
}

// What the header says of a fit that did not converge, in two lines; empty
// for every other fit.
std::string NotConvergedReasonOf(const ModelDesc& desc) {
  if (desc.doc == nullptr) return {};
  return NotConvergedReason(StoredFitVerdict(*desc.doc, desc.id));
}
constexpr const char* kNotConvergedLine = "The fit did not converge:";

// The model at x with the floating-point faults of the evaluation raised.
datatype EvaluateChecked(const ModelDesc& desc, datatype x) {
  const datatype y = desc.Evaluate(x);
  CheckFpFaults();
  return y;
}

PenStyle CurvePenStyle(int lineStyle) {
  switch (lineStyle) {
    case kLineDashed: return PenStyle::Dash;
    case kLineDotted: return PenStyle::Dot;
    case kLineDotDashed: return PenStyle::DashDot;
    case kLineDotDotDashed: return PenStyle::DashDotDot;
    default: return PenStyle::Solid;
  }
}

int Trunc(double v) { return ClampToPixel(v); }

class Renderer {
 public:
  Renderer(Surface& surface, GraphAttr& attr, const PlotMetrics& metrics, const Rect& area, const ModelDesc& desc,
           int mode, const UiMetrics& ui)
      : s_(surface),
        attr_(attr),
        m_(metrics),
        area_(area),
        desc_(desc),
        mode_(mode),
        ui_(ui),
        objects_(surface),
        layout_((mode & kRenderPrinted) ? kPrintedLayout : kScreenLayout),
        colours_(ColoursFor(attr, (mode & kRenderMonochrome) != 0)),
        xAxis_(XAxisSpec(attr)),
        yAxis_(YAxisSpec(attr)) {}

  void Run() {
    objects_.PushFont(kUiFont);
    uiFontHeight_ = s_.Metrics().height;
    CheckLogAxes();
    curveStep_ = s_.IsRecordedPicture() ? 1 : attr_.granularity;
    // The layers: everything under the fitted curve, and the curve, which
    // is drawn last and alone depends on the coefficients.
    const bool base = (mode_ & kRenderCurveOnly) == 0;
    const bool curve = (mode_ & kRenderWithoutCurve) == 0;
    s_.SetTransparentText(true);
    if (base) FillGraphArea();
    LayOutPlotArea();
    if (base) DrawHeaderOrTitle();
    transform_ = PlotTransform{Rect{p_, u_, r_, b_}, xAxis_.low, xAxis_.high, yAxis_.low, yAxis_.high,
                               xAxis_.logarithmic, yAxis_.logarithmic};
    if (base) {
      FillPlotArea();
      DrawGrid();
      DrawFrame();
      DrawAxisTitles();
      DrawXTicks();
      DrawYTicks();
    } else {
      s_.SetOrigin({p_, b_});
    }
    if (!s_.IsRecordedPicture()) s_.SetClip(Rect{0, h_, w_ + 1, 1});
    if (base) {
      DrawBands();
      DrawZeroLines();
      DrawPoints();
    }
    if (curve) DrawFittedCurve();
  }

  void Close() { objects_.Close(); }

 private:
  // --- drawing objects ---
  // The UI font stays at the bottom of the font stack; each text font
  // takes the place above it.
  void UseFont(const FontSpec& font) {
    if (objects_.FontDepth() > 1) {
      objects_.ReplaceFont(font);
    } else {
      objects_.PushFont(font);
    }
  }
  void UseUiFont() {
    while (objects_.FontDepth() > 1) objects_.PopFont();
  }
  void UsePen(PenStyle style, int width, Colour colour) { objects_.ReplacePen(Pen{style, width, colour}); }
  void UseBrush(Colour colour) { objects_.ReplaceBrush(Brush{false, colour}); }
  int FontHeight(const FontSpec& font) {
    UseFont(font);
    return s_.Metrics().height;
  }
  int TextWidth(const FontSpec& font, const std::string& text) {
    UseFont(font);
    return s_.MeasureText(text).width;
  }
  void Line(Point from, Point to) {
    s_.MoveTo(from);
    s_.LineTo(to);
  }

  // A logarithmic axis needs both ends above zero.
  void CheckLogAxes() const {
    const bool badX = attr_.Switch(kSwLogX) && (attr_.xMax <= 0 || attr_.xMin <= 0);
    const bool badY = attr_.Switch(kSwLogY) && (attr_.yMax <= 0 || attr_.yMin <= 0);
    if (!badX && !badY) return;
    ClearFpFaults();  // report the axis, not a fault left over from earlier work
    RaiseMathError("log10", MathErrorKind::Domain);
  }

  void FillGraphArea() {
    UseBrush(colours_.windowFill);
    if (!attr_.Switch(kSwBox)) {
      UsePen(PenStyle::Solid, 0, colours_.windowFill);
      s_.Rectangle(area_);
      return;
    }
    UsePen(PenStyle::Solid, attr_.boxWidth, colours_.box);
    if (attr_.Switch(kSwBoxRound)) {
      const int corner =
          std::min(Trunc(0.12 * std::abs(area_.Width())), Trunc(0.12 * std::abs(area_.Height())));
      s_.RoundRect(area_, corner, corner);
    } else {
      s_.Rectangle(area_);
    }
  }

  void LayOutPlotArea() {
    const std::string yTop = FormatTickLabel(yAxis_.format, attr_.yMax);
    const std::string yBottom = FormatTickLabel(yAxis_.format, attr_.yMin);
    const int yLabelWidth = std::max(TextWidth(attr_.yTickFont, yTop), TextWidth(attr_.yTickFont, yBottom));
    yTitleHeight_ = FontHeight(attr_.yFont);
    p_ = area_.left + Trunc(yTitleHeight_ * layout_.yTitle) + yLabelWidth + Trunc(1.5 * m_.majorTickX);

    UseFont(attr_.xTickFont);
    const int charRoom = s_.Metrics().averageCharWidth * layout_.character;
    const int xLabelWidth = s_.MeasureText(FormatTickLabel(xAxis_.format, attr_.xMax)).width;
    r_ = area_.right - std::max(charRoom, xLabelWidth) * 2 / 3;

    xTitleHeight_ = FontHeight(attr_.xFont);
    b_ = area_.bottom - Trunc(1.5 * m_.majorTickY) - Trunc(xTitleHeight_ * layout_.xTitle) -
         FontHeight(attr_.yTickFont);

    if (!attr_.Switch(kSwDrawHeader)) {
      UseFont(attr_.titleFont);
      titleMargin_ = 3 * s_.Metrics().averageCharWidth;
      titleHeight_ = s_.MeasureWrappedText(Rect{area_.left + titleMargin_, area_.top, area_.right - titleMargin_,
                                                area_.bottom},
                                           attr_.title);
      u_ = area_.top + Trunc(titleHeight_ * layout_.title);
    } else if (mode_ & kRenderPrinted) {
      pageHeaderHeight_ = FontHeight(kPageHeaderFont);
      const int z = pageHeaderHeight_;
      u_ = area_.top + 3 * z + 3 * z / 2;
    } else {
      u_ = area_.top + Trunc(4.3 * ui_.textHeight);
    }
    w_ = r_ - p_;
    h_ = u_ - b_;
    StorePlotRect();
  }

  void StorePlotRect() {
    if (mode_ & kRenderScreen) attr_.plotRect = Rect{p_, u_, r_, b_};
  }

  void DrawHeaderOrTitle() {
    if (!attr_.Switch(kSwDrawHeader)) {
      s_.SetTextColour(colours_.title);
      UseFont(attr_.titleFont);
      const int top = area_.top + Trunc(titleHeight_ * (layout_.title - 1) / 2);
      s_.DrawWrappedText(Rect{area_.left + titleMargin_, top, area_.right - titleMargin_, top + titleHeight_},
                         attr_.title);
    } else if (mode_ & kRenderPrinted) {
      DrawPageHeader();
    } else {
      DrawStatisticsHeader();
    }
    StorePlotRect();
  }

  void DrawStatisticsHeader() {
    UseUiFont();
    s_.SetTextColour(colours_.header);
    const int line1 = area_.top + ui_.textHeight;
    const int line2 = area_.top + Trunc(2.2 * ui_.textHeight);
    const int x = area_.left + 15 * ui_.charWidth;
    // A fit that did not converge says so where the hints stand, in
    // pictures too: its curve is no fit to rely on.
    if (const std::string reason = NotConvergedReasonOf(desc_); !reason.empty()) {
      const std::string second = reason + ".";
      if (std::max(s_.MeasureText(kNotConvergedLine).width, s_.MeasureText(second).width) < 2 * (r_ - p_) / 3) {
        s_.SetTextColour(colours_.warning);
        s_.TextOut({x, line1}, kNotConvergedLine, HAlign::Left, VAlign::Top);
        s_.TextOut({x, line2}, second, HAlign::Left, VAlign::Top);
        s_.SetTextColour(colours_.header);
      }
    } else if (!s_.IsRecordedPicture() && s_.MeasureText(kHintLine1).width < 2 * (r_ - p_) / 3) {
      s_.TextOut({x, line1}, kHintLine1, HAlign::Left, VAlign::Top);
      s_.TextOut({x, line2}, kHintLine2, HAlign::Left, VAlign::Top);
    }
    // An interpolation passes through every point: it has no statistics.
    if (desc_.kind == FIT_INTERPOLATION || desc_.statistics == nullptr) return;
    char text[64];
    std::snprintf(text, sizeof text, "S = %.8f", static_cast<double>(desc_.statistics[0]));
    s_.TextOut({r_, line1}, text, HAlign::Right, VAlign::Top);
    std::snprintf(text, sizeof text, "r = %.8f", static_cast<double>(desc_.statistics[1]));
    s_.TextOut({r_, line2}, text, HAlign::Right, VAlign::Top);
  }

  void DrawPageHeader() {
    const int z = pageHeaderHeight_;
    UseFont(kPageHeaderFont);
    UsePen(PenStyle::Solid, 0, colours_.foreground);
    s_.Rectangle(Rect{area_.left, area_.top, area_.right, area_.top + 3 * z});
    s_.SetTextColour(colours_.foreground);
    s_.TextOut({area_.left + z / 2, area_.top + z / 2}, desc_.name, HAlign::Left, VAlign::Top);
    std::string kind = kPrintedHeaderKind;
    if (const std::string reason = NotConvergedReasonOf(desc_); !reason.empty()) {
      kind += ": the fit did not converge (" + reason + ")";
    }
    s_.TextOut({area_.left + z / 2, area_.top + 3 * z / 2}, kind, HAlign::Left, VAlign::Top);
    s_.TextOut({area_.right - z / 2, area_.top + z / 2}, kAppCaption, HAlign::Right, VAlign::Top);
  }

  // From here on the origin sits at the plot's bottom-left corner.
  void FillPlotArea() {
    UseBrush(colours_.background);
    UsePen(PenStyle::Solid, 0, colours_.background);
    s_.Rectangle(Rect{p_, u_, r_, b_});
    s_.SetOrigin({p_, b_});
  }

  void DrawGrid() {
    UsePen(PenStyle::Dot, 0, colours_.grid);
    if (attr_.Switch(kSwShowXGrid)) {
      for (int x : GridPixels(xAxis_, w_)) Line({x, 0}, {x, h_});
    }
    if (attr_.Switch(kSwShowYGrid)) {
      for (int y : GridPixels(yAxis_, h_)) Line({0, y}, {w_, y});
    }
  }

  void UseFramePen() { UsePen(PenStyle::Solid, m_.framePenWidth, colours_.foreground); }

  void DrawFrame() {
    UseFramePen();
    if (attr_.Switch(kSwPaneLeft)) Line({0, 0}, {0, h_});
    if (attr_.Switch(kSwPaneTop)) Line({0, h_}, {w_, h_});
    if (attr_.Switch(kSwPaneRight)) Line({w_, h_}, {w_, 0});
    if (attr_.Switch(kSwPaneBottom)) Line({w_, 0}, {0, 0});
  }

  void DrawAxisTitles() {
    if (attr_.Switch(kSwShowXLabel)) {
      UseFont(attr_.xFont);
      s_.SetTextColour(colours_.xTitle);
      const int y = area_.bottom - Trunc((layout_.xTitle - 1) * xTitleHeight_ / 2) - b_;
      s_.TextOut({w_ / 2, y}, attr_.xLabel, HAlign::Centre, VAlign::Bottom);
    }
    if (attr_.Switch(kSwShowYLabel)) {
      UseFont(attr_.yFont);
      s_.SetTextColour(colours_.yTitle);
      const int x = area_.left + Trunc((layout_.yTitle - 1) * yTitleHeight_ / 2) - p_;
      s_.TextOut({x, h_ / 2}, attr_.yLabel, HAlign::Centre, VAlign::Top);
    }
  }

  // A minor tick's grid line, in the grid's own dotted pen.
  void MinorGridLine(Point from, Point to) {
    UsePen(PenStyle::Dot, 1, colours_.grid);
    Line(from, to);
    UseFramePen();
  }

  void DrawXTicks() {
    UseFont(attr_.xTickFont);
    s_.SetTextColour(colours_.xTick);
    UseFramePen();
    const int d = attr_.Switch(kSwXTicksIn) ? -1 : 1;
    const bool minorGrid = attr_.Switch(kSwShowXGrid) && attr_.Switch(kSwShowXGridMinor);
    for (const AxisTick& tick : AxisTicks(xAxis_, w_)) {
      const int length = tick.major ? m_.majorTickY : m_.minorTickY;
      Line({tick.pixel, 0}, {tick.pixel, length * d});
      if (tick.major) {
        s_.TextOut({tick.pixel, m_.majorTickY * 3 / 2}, tick.label, HAlign::Centre, VAlign::Top);
      } else if (minorGrid) {
        MinorGridLine({tick.pixel, 0}, {tick.pixel, h_});
      }
    }
  }

  void DrawYTicks() {
    UseFont(attr_.yTickFont);
    s_.SetTextColour(colours_.yTick);
    UseFramePen();
    const int d = attr_.Switch(kSwYTicksIn) ? -1 : 1;
    const bool minorGrid = attr_.Switch(kSwShowYGrid) && attr_.Switch(kSwShowYGridMinor);
    const int labelX = -Trunc(1.5 * std::abs(m_.majorTickX));
    for (const AxisTick& tick : AxisTicks(yAxis_, h_)) {
      const int length = tick.major ? m_.majorTickX : m_.minorTickX;
      Line({0, tick.pixel}, {-length * d, tick.pixel});
      if (tick.major) {
        s_.TextOut({labelX, tick.pixel + uiFontHeight_ / 2}, tick.label, HAlign::Right, VAlign::Bottom);
      } else if (minorGrid) {
        MinorGridLine({0, tick.pixel}, {w_, tick.pixel});
      }
    }
  }

  void DrawZeroLines() {
    UseFramePen();
    if (attr_.Switch(kSwLineAtX) && attr_.xMax * attr_.xMin < 0) {
      const int x = Trunc((0.0 - attr_.xMin) * w_ / (attr_.xMax - attr_.xMin));
      Line({x, 0}, {x, h_});
    }
    if (attr_.Switch(kSwLineAtY) && attr_.yMax * attr_.yMin < 0) {
      const int y = Trunc((0.0 - attr_.yMin) * h_ / (attr_.yMax - attr_.yMin));
      Line({0, y}, {w_, y});
    }
  }

  void DrawPoints() {
    objects_.ReplaceBrush(Brush{!attr_.Switch(kSwPtFill), colours_.point});
    UsePen(PenStyle::Solid, 0, colours_.point);
    SymbolStyle style{attr_.pointType, m_.symbolHalfWidth, m_.symbolHalfHeight, false};
    const CurveFit* doc = desc_.doc;
    if (doc == nullptr) return;
    DrawnPixels drawn(transform_);
    if (attr_.plotKind == PlotKind::Fit) {
      if (!attr_.Switch(kSwShowDataPoints)) return;
      const bool uncertainty = doc->bUncertainty != 0;
      const bool errorBars = uncertainty && attr_.Switch(kSwShowErrorBars);
      SymbolRun symbols(s_, transform_, style, errorBars);
      for (int k = 0; k < doc->nPoints; ++k) {
        const datatype half = uncertainty ? attr_.errorBarScale * doc->At(k, 2) : 0;
        const PlotPoint point{doc->At(k, 0), doc->At(k, 1), half};
        const Point pixel = transform_.ToPixel(point.x, point.y);
        // A symbol with its error bar may differ from the one drawn there
        // before; one without is the same picture again.
        if (!errorBars && !drawn.FirstAt(pixel)) continue;
        symbols.Add(point, pixel);
      }
      symbols.Flush();
      return;
    }
    if (!HasEvaluation(desc_)) return;
    style.bar = !attr_.Switch(kSwResidPoints);
    ClearFpFaults();
    SymbolRun symbols(s_, transform_, style, false);
    for (int k = 0; k < doc->nPoints; ++k) {
      const datatype x = doc->At(k, 0);
      const datatype residual = doc->At(k, 1) - EvaluateChecked(desc_, x);
      const Point pixel = transform_.ToPixel(x, residual);
      if (!drawn.FirstAt(pixel)) continue;
      symbols.Add(PlotPoint{x, residual, 0}, pixel);
    }
    symbols.Flush();
  }

  // The pixels of the plot area where a symbol was drawn: points of a large
  // data set that land on the same pixel draw the same symbol there again,
  // so only the first is drawn (ten million points draw in seconds, and a
  // vector picture holds each symbol once).
  class DrawnPixels {
   public:
    explicit DrawnPixels(const PlotTransform& transform)
        : width_(transform.Width()), height_(-transform.Height()),
          marks_(width_ > 0 && height_ > 0 ? static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_ + 1)
                                           : 0) {}
    // True the first time for a pixel inside the area, and always for one
    // outside it (the symbol routine decides about those).
    bool FirstAt(Point p) {
      if (p.x < 0 || p.x >= width_ || -p.y < 0 || -p.y > height_) return true;
      const std::size_t at = static_cast<std::size_t>(-p.y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(p.x);
      if (marks_[at]) return false;
      marks_[at] = true;
      return true;
    }

   private:
    int width_;
    int height_;
    std::vector<bool> marks_;
  };

  // Under the data and the curve: the bands change only with a new fit,
  // which redraws the whole picture.
  void DrawBands() {
    const bool confidence = attr_.Switch(kSwConfidenceBand);
    const bool prediction = attr_.Switch(kSwPredictionBand);
    if (attr_.plotKind != PlotKind::Fit || (!confidence && !prediction) || desc_.doc == nullptr || desc_.id < 0) return;
    if (desc_.kind != FIT_LINEAR && desc_.kind != FIT_NONLINEAR) return;
    const std::optional<FitBands> bands = FitBands::Of(*desc_.doc, desc_.id);
    if (!bands) return;
    const BandShading shading{confidence, prediction, colours_.line, colours_.background,
                              (mode_ & kRenderMonochrome) != 0};
    DrawFitBands(s_, transform_, curveStep_, *bands, shading);
    // The bands selected their own pen and brush: the stack's are selected again.
    UsePen(PenStyle::Solid, 0, colours_.foreground);
    UseBrush(colours_.background);
  }

  void DrawFittedCurve() {
    if (attr_.plotKind != PlotKind::Fit || !HasEvaluation(desc_)) return;
    const PenStyle style = CurvePenStyle(attr_.lineStyle);
    UsePen(style, style == PenStyle::Solid ? m_.curveWidth : 0, colours_.line);
    ClearFpFaults();
    DrawCurve(s_, transform_, curveStep_, [this](datatype x) { return EvaluateChecked(desc_, x); });
  }

  Surface& s_;
  GraphAttr& attr_;
  const PlotMetrics& m_;
  const Rect area_;
  const ModelDesc& desc_;
  const int mode_;
  const UiMetrics ui_;
  DrawObjectStack objects_;
  const LayoutFactors layout_;
  const PlotColours colours_;
  const AxisSpec xAxis_;
  const AxisSpec yAxis_;
  PlotTransform transform_;
  int uiFontHeight_ = 0;
  int curveStep_ = 1;
  int xTitleHeight_ = 0;
  int yTitleHeight_ = 0;
  int titleHeight_ = 0;
  int titleMargin_ = 0;
  int pageHeaderHeight_ = 0;
  int p_ = 0, u_ = 0, r_ = 0, b_ = 0;  // plot area: left, top, right, bottom
  int w_ = 0, h_ = 0;                  // its width and (negative) height
};

}  // namespace

bool HasEvaluation(const ModelDesc& desc) {
  if (desc.evaluate == nullptr) return false;
  if (desc.kind == FIT_LINEAR || desc.kind == FIT_NONLINEAR) return desc.coefficients != nullptr;
  return true;
}

PlotMetrics MakePlotMetrics(const GraphAttr& attr, float sx, float sy) {
  PlotMetrics m;
  m.majorTickX = static_cast<int>(attr.majorTickLength * sx);
  m.majorTickY = static_cast<int>(attr.majorTickLength * sy);
  m.minorTickX = static_cast<int>(attr.minorTickLength * sx);
  m.minorTickY = static_cast<int>(attr.minorTickLength * sy);
  m.curveWidth = static_cast<int>(attr.lineWidth * sx);
  m.symbolHalfWidth = static_cast<int>(attr.pointSize * sx + 0.5f);
  m.symbolHalfHeight = static_cast<int>(attr.pointSize * sy + 0.5f);
  m.framePenWidth = static_cast<int>(sx);
  return m;
}

int Render(Surface& surface, GraphAttr& attr, const PlotMetrics& metrics, const Rect& area, const ModelDesc& desc,
           int outputMode, const UiMetrics& ui) {
  surface.Save();
  Renderer renderer(surface, attr, metrics, area, desc, outputMode, ui);
  try {
    renderer.Run();
  } catch (...) {
    renderer.Close();
    surface.Restore();
    throw;
  }
  renderer.Close();
  surface.Restore();
  return 0;
}

}  // namespace trendolin
