// The bounded stacks of drawing objects over one surface.
#include "graph/draw_object_stack.h"

namespace trendolin {

FontSpec BaseFont() { return FontSpec{"System", 100, 700, 0, kBlack}; }

DrawObjectStack::DrawObjectStack(Surface& surface) : surface_(surface), fonts_(BaseFont()) {}

bool DrawObjectStack::PushPen(const Pen& pen) {
  if (!pens_.Push(pen)) return false;
  surface_.SelectPen(pen);
  return true;
}

bool DrawObjectStack::PushBrush(const Brush& brush) {
  if (!brushes_.Push(brush)) return false;
  surface_.SelectBrush(brush);
  return true;
}

bool DrawObjectStack::PushFont(const FontSpec& font) {
  if (!fonts_.Push(font)) return false;
  surface_.SelectFont(font);
  return true;
}

void DrawObjectStack::PopPen() {
  if (pens_.Pop()) surface_.SelectPen(pens_.Top());
}

void DrawObjectStack::PopBrush() {
  if (brushes_.Pop()) surface_.SelectBrush(brushes_.Top());
}

void DrawObjectStack::PopFont() {
  if (fonts_.Pop()) surface_.SelectFont(fonts_.Top());
}

bool DrawObjectStack::ReplacePen(const Pen& pen) {
  PopPen();
  return PushPen(pen);
}

bool DrawObjectStack::ReplaceBrush(const Brush& brush) {
  PopBrush();
  return PushBrush(brush);
}

bool DrawObjectStack::ReplaceFont(const FontSpec& font) {
  PopFont();
  return PushFont(font);
}

void DrawObjectStack::Close() {
  while (pens_.Depth() > 0) PopPen();
  while (brushes_.Depth() > 0) PopBrush();
  while (fonts_.Depth() > 0) PopFont();
}

}  // namespace trendolin
