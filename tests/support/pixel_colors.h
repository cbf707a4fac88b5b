#pragma once
// Colour arithmetic for tests that probe rendered pixels: how far two pixels
// are apart.
// Pixels are 0xAARRGGBB (the alpha of a probed pixel is ignored).
#include <algorithm>
#include <cstdint>
#include <cstdlib>

// Largest difference of the red, green and blue channels.
inline int ChannelDistance(uint32_t a, uint32_t b) {
  int distance = 0;
  for (int shift : {16, 8, 0}) {
    const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    distance = std::max(distance, std::abs(difference));
  }
  return distance;
}
