// The pens, brushes and fonts selected into a surface while one picture is
// drawn, each kept on a small bounded stack so that a drawing step can select
// its own and give back the previous one.
#pragma once

#include <array>

#include "graph/surface.h"

namespace trendolin {

// What each stack holds before anything is pushed.
inline constexpr Pen kBasePen{PenStyle::Solid, 0, kBlack};
inline constexpr Brush kBaseBrush{false, kWhite};
FontSpec BaseFont();

template <class Object>
class BoundedObjectStack {
 public:
  static constexpr int kCapacity = 3;  // objects above the base entry

  explicit BoundedObjectStack(Object base) { entries_[0] = base; }
  // False (nothing selected) when the stack is full.
  bool Push(const Object& object) {
    if (depth_ == kCapacity) return false;
    entries_[static_cast<std::size_t>(++depth_)] = object;
    return true;
  }
  // False when only the base entry is left.
  bool Pop() {
    if (depth_ == 0) return false;
    entries_[static_cast<std::size_t>(depth_--)] = Object{};
    return true;
  }
  const Object& Top() const { return entries_[static_cast<std::size_t>(depth_)]; }
  int Depth() const { return depth_; }

 private:
  std::array<Object, kCapacity + 1> entries_{};
  int depth_ = 0;
};

class DrawObjectStack {
 public:
  explicit DrawObjectStack(Surface& surface);
  ~DrawObjectStack() { Close(); }
  DrawObjectStack(const DrawObjectStack&) = delete;
  DrawObjectStack& operator=(const DrawObjectStack&) = delete;

  // Push selects the object; it is refused (false, nothing selected) when its
  // stack already holds three. Pop reselects the object below; Replace pops
  // and pushes.
  bool PushPen(const Pen& pen);
  bool PushBrush(const Brush& brush);
  bool PushFont(const FontSpec& font);
  void PopPen();
  void PopBrush();
  void PopFont();
  bool ReplacePen(const Pen& pen);
  bool ReplaceBrush(const Brush& brush);
  bool ReplaceFont(const FontSpec& font);
  // Pops everything, leaving the base objects selected.
  void Close();

  int PenDepth() const { return pens_.Depth(); }
  int BrushDepth() const { return brushes_.Depth(); }
  int FontDepth() const { return fonts_.Depth(); }
  const FontSpec& CurrentFont() const { return fonts_.Top(); }

 private:
  Surface& surface_;
  BoundedObjectStack<Pen> pens_{kBasePen};
  BoundedObjectStack<Brush> brushes_{kBaseBrush};
  BoundedObjectStack<FontSpec> fonts_;
};

}  // namespace trendolin
