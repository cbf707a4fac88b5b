#pragma once
// The scene as data: the painters append these records in paint order and the
// renderer executes them, the shapes on a GDI+ Graphics and the labels
// through the Uniscribe text path. Portable: no Windows header.
//
// Geometry is in device-independent units of the 392 x 252 window (the
// renderer's world transform scales them); colours are 0xAARRGGBB.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

struct SceneRect {
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;
  bool operator==(const SceneRect&) const = default;
};

// A solid rounded rectangle.
struct FillCommand {
  SceneRect rect;
  float radius = 0;
  uint32_t color = 0;
  bool operator==(const FillCommand&) const = default;
};

// The outline of a rounded rectangle. The rect is the one the pen follows:
// painters pass outlines already inset by half a unit.
struct StrokeCommand {
  SceneRect rect;
  float radius = 0;
  uint32_t color = 0;
  float penWidth = 1;
  bool operator==(const StrokeCommand&) const = default;
};

// Values of the GDI+ LinearGradientMode and WrapMode enumerations.
enum class GradientMode : int32_t { Horizontal = 0, ForwardDiagonal = 2, BackwardDiagonal = 3 };
enum class GradientWrap : int32_t { Tile = 0 };

// A rounded rectangle filled with a two-colour linear gradient. The gradient
// has its own rectangle: the colours run from its start to its end whatever
// the shape's size.
struct GradientCommand {
  SceneRect rect;
  float radius = 0;
  SceneRect gradientRect;
  GradientMode mode = GradientMode::Horizontal;
  uint32_t startColor = 0;
  uint32_t endColor = 0;
  GradientWrap wrap = GradientWrap::Tile;
  bool operator==(const GradientCommand&) const = default;
};

// The background picture, scaled into the rect without keeping its aspect
// ratio, never flipped. Drawn only when the renderer is given a picture.
struct ImageCommand {
  SceneRect rect;
  bool operator==(const ImageCommand&) const = default;
};

// Values of the GDI+ StringAlignment enumeration: Near is the left edge,
// Far the right one (labels of a right-to-left window).
enum class TextAlign : int32_t { Near = 0, Center = 1, Far = 2 };

// One line of text, vertically centred in rect, cut with an ellipsis, never
// wrapped. fontSlot picks one of the eight UI fonts (0..7); a slot without a
// font draws nothing.
struct LabelCommand {
  std::wstring text;
  int fontSlot = 0;
  uint32_t color = 0;
  SceneRect rect;
  TextAlign align = TextAlign::Near;
  bool operator==(const LabelCommand&) const = default;
};

using DrawCommand = std::variant<FillCommand, StrokeCommand, GradientCommand, ImageCommand, LabelCommand>;
using DrawList = std::vector<DrawCommand>;
