#include "ui/paint/scene_renderer_win.h"

#include <cmath>
#include <type_traits>
#include <variant>

#include "ui/paint/text_line_win.h"

namespace gp = Gdiplus::DllExports;

namespace {

// Adds a closed rounded-rectangle figure to `path`: four 90-degree arcs of
// diameter 2 * radius at the corners, or the plain rectangle for a radius of
// 0 or less. The radius is not reduced for small rectangles, so their arcs
// overlap and the figure reaches outside the rectangle.
void AddRoundRect(Gdiplus::GpPath* raw, const SceneRect& rect, float radius) {
  if (radius <= 0) {
    gp::GdipAddPathRectangle(raw, rect.x, rect.y, rect.width, rect.height);
    return;
  }
  const float d = radius * 2;
  const float right = rect.x + rect.width - d;
  const float bottom = rect.y + rect.height - d;
  gp::GdipAddPathArc(raw, rect.x, rect.y, d, d, 180, 90);
  gp::GdipAddPathArc(raw, right, rect.y, d, d, 270, 90);
  gp::GdipAddPathArc(raw, right, bottom, d, d, 0, 90);
  gp::GdipAddPathArc(raw, rect.x, bottom, d, d, 90, 90);
  gp::GdipClosePathFigure(raw);
}

UniqueGpPath RoundRectPath(const SceneRect& rect, float radius) {
  Gdiplus::GpPath* raw = nullptr;
  gp::GdipCreatePath(Gdiplus::FillModeAlternate, &raw);
  UniqueGpPath path(raw);
  if (path) AddRoundRect(raw, rect, radius);
  return path;
}

void FillPathWith(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* path, Gdiplus::GpBrush* brush) {
  if (path != nullptr && brush != nullptr) gp::GdipFillPath(graphics, brush, path);
}

Gdiplus::RectF ToGp(const SceneRect& rect) { return Gdiplus::RectF(rect.x, rect.y, rect.width, rect.height); }

void FillPathSolid(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* path, uint32_t color) {
  Gdiplus::GpSolidFill* raw = nullptr;
  gp::GdipCreateSolidFill(color, &raw);
  UniqueGpBrush brush(raw);
  FillPathWith(graphics, path, brush.get());
}

void FillRoundRect(Gdiplus::GpGraphics* graphics, const SceneRect& rect, float radius, uint32_t color) {
  FillPathSolid(graphics, RoundRectPath(rect, radius).get(), color);
}

// The outline a pen of `width` centred on the rounded rectangle draws, filled
// as the ring between the figures half a pen outside and inside it (alternate
// fill): the same shape. Under Wine a translucent pen is widened and filled
// pixel by pixel, about twice as long as this fill.
void StrokeRoundRect(Gdiplus::GpGraphics* graphics, const SceneRect& rect, float radius, uint32_t color,
                     float width) {
  const float half = width / 2;
  UniqueGpPath ring = RoundRectPath({rect.x - half, rect.y - half, rect.width + width, rect.height + width},
                                    radius + half);
  if (!ring) return;
  AddRoundRect(ring.get(), {rect.x + half, rect.y + half, rect.width - width, rect.height - width}, radius - half);
  FillPathSolid(graphics, ring.get(), color);
}

void FillRoundRectGradient(Gdiplus::GpGraphics* graphics, const GradientCommand& command) {
  UniqueGpPath path = RoundRectPath(command.rect, command.radius);
  const Gdiplus::RectF area = ToGp(command.gradientRect);
  Gdiplus::GpLineGradient* raw = nullptr;
  // Fails for an empty gradient rectangle; the shape is then left out.
  gp::GdipCreateLineBrushFromRect(&area, command.startColor, command.endColor,
                                  static_cast<Gdiplus::LinearGradientMode>(command.mode),
                                  static_cast<Gdiplus::GpWrapMode>(command.wrap), &raw);
  UniqueGpBrush brush(raw);
  FillPathWith(graphics, path.get(), brush.get());
}

// Labels go through the text path on the surface's DC; GdipGetDC makes GDI+
// finish what it has drawn before GDI draws on top of it.
void DrawLabel(Gdiplus::GpGraphics* graphics, const LabelCommand& label, const UiFonts& fonts, float dpiScale) {
  if (label.text.empty()) return;
  HDC dc = nullptr;
  if (gp::GdipGetDC(graphics, &dc) != Gdiplus::Ok || dc == nullptr) return;
  DrawTextLine(dc, fonts, label, dpiScale);
  gp::GdipReleaseDC(graphics, dc);
}

void RenderDrawList(Gdiplus::GpGraphics* graphics, const DrawList& list, const UiFonts& fonts,
                    const PictureSource* background, PreparedPicture& picture, float dpiScale) {
  if (graphics == nullptr) return;
  for (const DrawCommand& command : list) {
    std::visit(
        [&](const auto& c) {
          using T = std::decay_t<decltype(c)>;
          if constexpr (std::is_same_v<T, FillCommand>) {
            FillRoundRect(graphics, c.rect, c.radius, c.color);
          } else if constexpr (std::is_same_v<T, StrokeCommand>) {
            StrokeRoundRect(graphics, c.rect, c.radius, c.color, c.penWidth);
          } else if constexpr (std::is_same_v<T, GradientCommand>) {
            FillRoundRectGradient(graphics, c);
          } else if constexpr (std::is_same_v<T, ImageCommand>) {
            if (background != nullptr && !background->empty()) picture.Draw(graphics, *background, c.rect, dpiScale);
          } else {
            static_assert(std::is_same_v<T, LabelCommand>);
            DrawLabel(graphics, c, fonts, dpiScale);
          }
        },
        command);
  }
}

}  // namespace

void PaintFrame(HDC memoryDc, float dpiScale, const DrawList& list, const UiFonts& fonts,
                const PictureSource* background, PreparedPicture* picture) {
  Gdiplus::GpGraphics* raw = nullptr;
  gp::GdipCreateFromHDC(memoryDc, &raw);
  UniqueGpGraphics graphics(raw);
  if (!graphics) return;
  gp::GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeAntiAlias);
  gp::GdipGraphicsClear(graphics.get(), kFrameClearColor);
  gp::GdipScaleWorldTransform(graphics.get(), dpiScale, dpiScale, Gdiplus::MatrixOrderPrepend);
  PreparedPicture once;
  RenderDrawList(graphics.get(), list, fonts, background, picture != nullptr ? *picture : once, dpiScale);
}
