#pragma once
// Resamples a picture into the device pixels a rectangle covers, by area:
// every device pixel is the mean of the source pixels under it, each weighted
// by how much of it lies there, and a pixel the rectangle covers only in part
// keeps that part of the mean (premultiplied, its alpha too), so the edges
// blend as a drawn image's do. Rows go in one at a time, top to bottom, so a
// decoder never has to hold the whole picture converted. Portable.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "ui/scene/draw_list.h"  // SceneRect

// Whole device pixels: a copy's corner and size.
struct DevicePixelBox {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const DevicePixelBox&) const = default;
};

// The device pixels `rect` (units) covers at `scale`: from the floor of its
// scaled corner to the ceiling of its scaled far corner.
DevicePixelBox DevicePixelsOf(const SceneRect& rect, float scale);

// `count` pixels of 8-bit blue, green, red (a decoder's 24-bit order) as
// opaque 0xFFRRGGBB.
void WidenBgrToOpaqueBgra(const uint8_t* bgr, uint32_t* out, size_t count);

class PictureScaler {
 public:
  // A picture of sourceWidth x sourceHeight pixels drawn over `rect` (units)
  // at `scale`. Its rows are written to `out`, box().height rows `stride`
  // pixels apart, each once every source row it draws on has been added.
  // Pixels are 32-bit premultiplied ARGB (0xAARRGGBB) both ways.
  PictureScaler(uint32_t sourceWidth, uint32_t sourceHeight, const SceneRect& rect, float scale, uint32_t* out,
                size_t stride);
  PictureScaler(const PictureScaler&) = delete;
  PictureScaler& operator=(const PictureScaler&) = delete;

  const DevicePixelBox& box() const { return box_; }
  // The next source row: sourceWidth pixels.
  void AddRow(const uint32_t* row);
  // Every output row is written (all source rows went in).
  bool Finished() const { return nextOut_ == box_.height; }

 private:
  // The source pixels one output column or row is made of: `count` from
  // `first`, their weights from `weight` on in the axis' flat table.
  struct Span {
    uint32_t first = 0, count = 0, weight = 0;
  };
  struct Axis {
    std::vector<Span> spans;
    std::vector<float> weights;
  };
  static Axis AxisOf(int32_t firstPixel, int32_t count, double start, double length, uint32_t sourceCount);
  void WriteRow(const std::vector<float>& sums);

  DevicePixelBox box_;
  Axis columns_, rows_;
  std::vector<float> source_;  // the current source row, four channels a pixel
  uint32_t sourceWidth_ = 0;
  uint32_t nextSourceRow_ = 0;
  int32_t nextOut_ = 0;                   // the first output row not yet written
  std::deque<std::vector<float>> open_;  // sums of output rows nextOut_, nextOut_ + 1, ...
  std::vector<float> line_;               // the current source row resampled across
  uint32_t* out_;
  size_t stride_;
};
