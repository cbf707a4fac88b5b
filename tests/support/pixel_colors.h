#pragma once
// Colour arithmetic for tests that probe rendered pixels: what a painted ARGB
// value looks like over what lies beneath, and how far two pixels are apart.
// Pixels are 0xAARRGGBB (the alpha of a probed pixel is ignored).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace pixel_colors_detail {
inline int Channel(uint32_t color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }
}  // namespace pixel_colors_detail

// `top` (0xAARRGGBB) drawn over an opaque `under`, as 0xFFRRGGBB.
inline uint32_t Over(uint32_t top, uint32_t under) {
  using pixel_colors_detail::Channel;
  const double alpha = Channel(top, 24) / 255.0;
  uint32_t out = 0xFF000000u;
  for (int shift : {16, 8, 0}) {
    const double value = Channel(top, shift) * alpha + Channel(under, shift) * (1 - alpha);
    out |= static_cast<uint32_t>(std::lround(value)) << shift;
  }
  return out;
}

// Largest difference of the red, green and blue channels.
inline int ChannelDistance(uint32_t a, uint32_t b) {
  using pixel_colors_detail::Channel;
  int distance = 0;
  for (int shift : {16, 8, 0}) distance = std::max(distance, std::abs(Channel(a, shift) - Channel(b, shift)));
  return distance;
}

inline std::string Hex(uint32_t color) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(color));
  return text;
}
