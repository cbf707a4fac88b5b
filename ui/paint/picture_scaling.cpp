#include "ui/paint/picture_scaling.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t Byte(float sum) { return static_cast<uint32_t>(std::clamp(std::lround(sum), 0L, 255L)); }

}  // namespace

// The spans of `count` output pixels starting at device pixel `firstPixel`
// over a picture of `sourceCount` pixels drawn from `start` to start + length
// (device pixels). The weights of an output pixel add up to the part of it
// the picture covers.
PictureScaler::Axis PictureScaler::AxisOf(int32_t firstPixel, int32_t count, double start, double length,
                                          uint32_t sourceCount) {
  Axis axis;
  axis.spans.resize(static_cast<size_t>(std::max(count, 0)));
  const double perSource = length / sourceCount;  // device pixels one source pixel takes
  for (int32_t i = 0; i < count; ++i) {
    Span& span = axis.spans[static_cast<size_t>(i)];
    span.weight = static_cast<uint32_t>(axis.weights.size());
    const double from = std::max<double>(firstPixel + i, start);
    const double to = std::min<double>(firstPixel + i + 1, start + length);
    if (to <= from) continue;
    const double sourceFrom = (from - start) / perSource;
    const double sourceTo = (to - start) / perSource;
    span.first = static_cast<uint32_t>(std::min<double>(std::floor(sourceFrom), sourceCount - 1));
    const auto last = static_cast<uint32_t>(std::min<double>(std::ceil(sourceTo) - 1, sourceCount - 1));
    for (uint32_t s = span.first; s <= std::max(span.first, last); ++s) {
      const double overlap = std::min<double>(s + 1, sourceTo) - std::max<double>(s, sourceFrom);
      axis.weights.push_back(static_cast<float>(std::max(overlap, 0.0) * perSource));
      ++span.count;
    }
  }
  return axis;
}

DevicePixelBox DevicePixelsOf(const SceneRect& rect, float scale) {
  DevicePixelBox box;
  box.left = static_cast<int32_t>(std::floor(rect.x * scale));
  box.top = static_cast<int32_t>(std::floor(rect.y * scale));
  box.width = static_cast<int32_t>(std::ceil((rect.x + rect.width) * scale)) - box.left;
  box.height = static_cast<int32_t>(std::ceil((rect.y + rect.height) * scale)) - box.top;
  return box;
}

PictureScaler::PictureScaler(uint32_t sourceWidth, uint32_t sourceHeight, const SceneRect& rect, float scale,
                             uint32_t* out, size_t stride)
    : box_(DevicePixelsOf(rect, scale)), sourceWidth_(sourceWidth), out_(out), stride_(stride) {
  if (sourceWidth == 0 || sourceHeight == 0 || box_.width <= 0 || box_.height <= 0) {
    box_ = DevicePixelBox{};
    return;
  }
  columns_ = AxisOf(box_.left, box_.width, static_cast<double>(rect.x) * scale, static_cast<double>(rect.width) * scale,
                    sourceWidth);
  rows_ = AxisOf(box_.top, box_.height, static_cast<double>(rect.y) * scale, static_cast<double>(rect.height) * scale,
                 sourceHeight);
  line_.resize(static_cast<size_t>(box_.width) * 4);
  source_.resize(static_cast<size_t>(sourceWidth) * 4);
}

void PictureScaler::AddRow(const uint32_t* row) {
  const uint32_t y = nextSourceRow_++;
  if (Finished()) return;
  for (size_t x = 0; x < sourceWidth_; ++x) {
    const uint32_t pixel = row[x];
    float* channels = &source_[x * 4];
    channels[0] = static_cast<float>(pixel >> 24);
    channels[1] = static_cast<float>((pixel >> 16) & 0xFF);
    channels[2] = static_cast<float>((pixel >> 8) & 0xFF);
    channels[3] = static_cast<float>(pixel & 0xFF);
  }
  // Across: each output column from the source pixels it covers.
  for (size_t x = 0; x < columns_.spans.size(); ++x) {
    const Span& column = columns_.spans[x];
    const float* weights = &columns_.weights[column.weight];
    const float* channels = &source_[static_cast<size_t>(column.first) * 4];
    float sums[4] = {0, 0, 0, 0};
    for (uint32_t i = 0; i < column.count; ++i) {
      for (int c = 0; c < 4; ++c) sums[c] += weights[i] * channels[i * 4 + c];
    }
    std::copy(sums, sums + 4, &line_[x * 4]);
  }
  // Down: into every open output row this source row lies under. Spans never
  // go back, so rows open and are written in order.
  for (int32_t out = nextOut_; out < box_.height; ++out) {
    const Span& span = rows_.spans[static_cast<size_t>(out)];
    if (span.count != 0 && span.first > y) break;
    const size_t index = static_cast<size_t>(out - nextOut_);
    if (index == open_.size()) open_.emplace_back(line_.size(), 0.0f);
    if (span.count == 0 || y >= span.first + span.count) continue;
    const float w = rows_.weights[span.weight + (y - span.first)];
    std::vector<float>& sums = open_[index];
    for (size_t i = 0; i < sums.size(); ++i) sums[i] += w * line_[i];
  }
  // Write the rows this source row completes (and rows nothing covers).
  while (nextOut_ < box_.height) {
    const Span& span = rows_.spans[static_cast<size_t>(nextOut_)];
    if (span.count != 0 && y + 1 < span.first + span.count) break;
    if (open_.empty()) open_.emplace_back(line_.size(), 0.0f);
    WriteRow(open_.front());
    open_.pop_front();
    ++nextOut_;
  }
}

void PictureScaler::WriteRow(const std::vector<float>& sums) {
  uint32_t* target = out_ + static_cast<size_t>(nextOut_) * stride_;
  for (size_t x = 0; x < static_cast<size_t>(box_.width); ++x) {
    const float* s = &sums[x * 4];
    target[x] = Byte(s[0]) << 24 | Byte(s[1]) << 16 | Byte(s[2]) << 8 | Byte(s[3]);
  }
}

void WidenBgrToOpaqueBgra(const uint8_t* bgr, uint32_t* out, size_t count) {
  for (size_t i = 0; i < count; ++i, bgr += 3) {
    out[i] = 0xFF000000u | static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 | bgr[0];
  }
}
