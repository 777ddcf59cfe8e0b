// A drawing surface that draws nothing: it records every call with its
// arguments and the drawing state at that moment, and measures text by a
// fixed rule, so tests can check a picture's layout and content exactly.
#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "graph/surface.h"

namespace testsupport {

struct SurfaceCall {
  std::string op;              // the Surface member's name
  std::vector<trendolin::Point> points;
  trendolin::Rect rect;
  std::string text;
  trendolin::HAlign h = trendolin::HAlign::Left;
  trendolin::VAlign v = trendolin::VAlign::Top;
  int a = 0;                   // RoundRect's corner size; SetTransparentText's flag
  // The state the call drew with.
  trendolin::Pen pen;
  trendolin::Brush brush;
  trendolin::FontSpec font;
  trendolin::Colour textColour = 0;
  trendolin::Point origin;
};

class RecordingSurface : public trendolin::Surface {
 public:
  // Text measures: a character is size/15 pixels wide and a line size/5
  // pixels high (a 9-point font: 6 by 18).
  static int CharWidth(const trendolin::FontSpec& f) { return std::max(1, f.size / 15); }
  static int LineHeight(const trendolin::FontSpec& f) { return std::max(1, f.size / 5); }

  explicit RecordingSurface(bool recordedPicture = false) : picture_(recordedPicture) {}

  void Save() override {
    saved_.push_back(state_);
    Record("Save");
  }
  void Restore() override {
    if (!saved_.empty()) {
      state_ = saved_.back();
      saved_.pop_back();
    }
    Record("Restore");
  }
  void SelectPen(const trendolin::Pen& pen) override { state_.pen = pen; Record("SelectPen"); }
  void SelectBrush(const trendolin::Brush& brush) override { state_.brush = brush; Record("SelectBrush"); }
  void SelectFont(const trendolin::FontSpec& font) override { state_.font = font; Record("SelectFont"); }
  void MoveTo(trendolin::Point p) override { Record("MoveTo").points = {p}; }
  void LineTo(trendolin::Point p) override { Record("LineTo").points = {p}; }
  void Polyline(std::span<const trendolin::Point> points) override {
    Record("Polyline").points.assign(points.begin(), points.end());
  }
  void Rectangle(const trendolin::Rect& r) override { Record("Rectangle").rect = r; }
  void RoundRect(const trendolin::Rect& r, int w, int /*h*/) override {
    SurfaceCall& c = Record("RoundRect");
    c.rect = r;
    c.a = w;
  }
  void Ellipse(const trendolin::Rect& box) override { Record("Ellipse").rect = box; }
  void Polygon(std::span<const trendolin::Point> points) override {
    Record("Polygon").points.assign(points.begin(), points.end());
  }
  void TextOut(trendolin::Point p, std::string_view text, trendolin::HAlign h, trendolin::VAlign v) override {
    SurfaceCall& c = Record("TextOut");
    c.points = {p};
    c.text = std::string(text);
    c.h = h;
    c.v = v;
  }
  trendolin::TextSize MeasureText(std::string_view text) override {
    return {static_cast<int>(text.size()) * CharWidth(state_.font), LineHeight(state_.font)};
  }
  trendolin::FontMetrics Metrics() override { return {LineHeight(state_.font), CharWidth(state_.font)}; }
  int MeasureWrappedText(const trendolin::Rect& r, std::string_view text) override {
    const int width = std::max(1, r.Width());
    const int textWidth = static_cast<int>(text.size()) * CharWidth(state_.font);
    const int lines = std::max(1, (textWidth + width - 1) / width);
    return lines * LineHeight(state_.font);
  }
  void DrawWrappedText(const trendolin::Rect& r, std::string_view text) override {
    SurfaceCall& c = Record("DrawWrappedText");
    c.rect = r;
    c.text = std::string(text);
  }
  void SetTransparentText(bool transparent) override { Record("SetTransparentText").a = transparent ? 1 : 0; }
  void SetTextColour(trendolin::Colour colour) override { state_.textColour = colour; Record("SetTextColour"); }
  void SetClip(const trendolin::Rect& r) override { Record("SetClip").rect = r; }
  void SetOrigin(trendolin::Point p) override {
    state_.origin = p;
    Record("SetOrigin").points = {p};
  }
  bool IsRecordedPicture() const override { return picture_; }

  const std::vector<SurfaceCall>& Calls() const { return calls_; }
  std::vector<SurfaceCall> CallsOf(std::string_view op) const {
    std::vector<SurfaceCall> found;
    for (const SurfaceCall& c : calls_) {
      if (c.op == op) found.push_back(c);
    }
    return found;
  }
  // The texts drawn with TextOut or DrawWrappedText, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const SurfaceCall& c : calls_) {
      if (c.op == "TextOut" || c.op == "DrawWrappedText") texts.push_back(c.text);
    }
    return texts;
  }
  bool DrewText(std::string_view text) const {
    const std::vector<std::string> texts = Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
  // Lines as pairs of points (each MoveTo followed by a LineTo).
  std::vector<std::pair<trendolin::Point, trendolin::Point>> Lines() const {
    std::vector<std::pair<trendolin::Point, trendolin::Point>> lines;
    for (std::size_t i = 0; i + 1 < calls_.size(); ++i) {
      if (calls_[i].op == "MoveTo" && calls_[i + 1].op == "LineTo") {
        lines.push_back({calls_[i].points[0], calls_[i + 1].points[0]});
      }
    }
    return lines;
  }
  std::size_t SaveDepth() const { return saved_.size(); }
  void Clear() { calls_.clear(); }

 private:
  struct State {
    trendolin::Pen pen;
    trendolin::Brush brush;
    trendolin::FontSpec font;
    trendolin::Colour textColour = 0;
    trendolin::Point origin;
  };

  SurfaceCall& Record(const char* op) {
    SurfaceCall c;
    c.op = op;
    c.pen = state_.pen;
    c.brush = state_.brush;
    c.font = state_.font;
    c.textColour = state_.textColour;
    c.origin = state_.origin;
    calls_.push_back(std::move(c));
    return calls_.back();
  }

  bool picture_;
  State state_;
  std::vector<State> saved_;
  std::vector<SurfaceCall> calls_;
};

}  // namespace testsupport
