#include "ui/paint/picture_scaling.h"

#include <algorithm>
#include <cmath>

namespace {

// The spans of `count` output pixels starting at device pixel `firstPixel`
// over a picture of `sourceCount` pixels drawn from `start` to start + length
// (device pixels). The weights of an output pixel add up to the part of it
// the picture covers.
template <typename Span>
std::vector<Span> SpansOf(int32_t firstPixel, int32_t count, double start, double length, uint32_t sourceCount) {
  std::vector<Span> spans(static_cast<size_t>(std::max(count, 0)));
  const double perSource = length / sourceCount;  // device pixels one source pixel takes
  for (int32_t i = 0; i < count; ++i) {
    const double from = std::max<double>(firstPixel + i, start);
    const double to = std::min<double>(firstPixel + i + 1, start + length);
    if (to <= from) continue;
    const double sourceFrom = (from - start) / perSource;
    const double sourceTo = (to - start) / perSource;
    const auto first = static_cast<uint32_t>(std::min<double>(std::floor(sourceFrom), sourceCount - 1));
    const auto last = static_cast<uint32_t>(std::min<double>(std::ceil(sourceTo) - 1, sourceCount - 1));
    Span& span = spans[static_cast<size_t>(i)];
    span.first = first;
    for (uint32_t s = first; s <= std::max(first, last); ++s) {
      const double overlap = std::min<double>(s + 1, sourceTo) - std::max<double>(s, sourceFrom);
      span.weights.push_back(static_cast<float>(std::max(overlap, 0.0) * perSource));
    }
  }
  return spans;
}

float Channel(uint32_t pixel, int shift) { return static_cast<float>((pixel >> shift) & 0xFF); }

uint32_t Byte(float sum) { return static_cast<uint32_t>(std::clamp(std::lround(sum), 0L, 255L)); }

}  // namespace

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
  columns_ = SpansOf<Span>(box_.left, box_.width, static_cast<double>(rect.x) * scale,
                           static_cast<double>(rect.width) * scale, sourceWidth);
  rows_ = SpansOf<Span>(box_.top, box_.height, static_cast<double>(rect.y) * scale,
                        static_cast<double>(rect.height) * scale, sourceHeight);
  line_.resize(static_cast<size_t>(box_.width) * 4);
}

void PictureScaler::AddRow(const uint32_t* row) {
  const uint32_t y = nextSourceRow_++;
  if (Finished()) return;
  // Across: each output column from the source pixels it covers.
  for (size_t x = 0; x < columns_.size(); ++x) {
    const Span& column = columns_[x];
    float a = 0, r = 0, g = 0, b = 0;
    for (size_t i = 0; i < column.weights.size(); ++i) {
      const uint32_t pixel = row[std::min<size_t>(column.first + i, sourceWidth_ - 1)];
      const float w = column.weights[i];
      a += w * Channel(pixel, 24);
      r += w * Channel(pixel, 16);
      g += w * Channel(pixel, 8);
      b += w * Channel(pixel, 0);
    }
    float* sums = &line_[x * 4];
    sums[0] = a;
    sums[1] = r;
    sums[2] = g;
    sums[3] = b;
  }
  // Down: into every open output row this source row lies under. Spans never
  // go back, so rows open and are written in order.
  for (int32_t out = nextOut_; out < box_.height; ++out) {
    const Span& span = rows_[static_cast<size_t>(out)];
    if (!span.weights.empty() && span.first > y) break;
    const size_t index = static_cast<size_t>(out - nextOut_);
    if (index == open_.size()) open_.emplace_back(line_.size(), 0.0f);
    if (span.weights.empty() || y >= span.first + span.weights.size()) continue;
    const float w = span.weights[y - span.first];
    std::vector<float>& sums = open_[index];
    for (size_t i = 0; i < sums.size(); ++i) sums[i] += w * line_[i];
  }
  // Write the rows this source row completes (and rows nothing covers).
  while (nextOut_ < box_.height) {
    const Span& span = rows_[static_cast<size_t>(nextOut_)];
    if (!span.weights.empty() && y + 1 < span.first + span.weights.size()) break;
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
