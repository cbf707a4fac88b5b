#include "ui/paint/picture_scaling.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;
constexpr uint32_t Grey(uint32_t v) { return 0xFF000000 | v * 0x010101; }

struct ScalingCase {
  const char* what;
  uint32_t sourceWidth, sourceHeight;
  std::vector<uint32_t> source;
  SceneRect rect;
  float scale;
  DevicePixelBox box;
  std::vector<uint32_t> expected;
};

// Expected pixels worked out by hand: the mean of what each device pixel
// covers, times the part of it the picture covers (x.5 rounds up).
TEST(PictureScalingTest, EachDevicePixelIsTheMeanOfWhatItCovers) {
  const ScalingCase cases[] = {
      {"same size", 2, 2, {kRed, kBlue, kBlack, kWhite}, {0, 0, 2, 2}, 1.0f, {0, 0, 2, 2},
       {kRed, kBlue, kBlack, kWhite}},
      {"halved", 4, 2, {Grey(0), Grey(40), Grey(80), Grey(120), Grey(10), Grey(50), Grey(90), Grey(130)},
       {0, 0, 2, 1}, 1.0f, {0, 0, 2, 1}, {Grey(25), Grey(105)}},
      {"half a pixel in: the edges half covered", 1, 1, {kWhite}, {0.5f, 0, 1, 1}, 1.0f, {0, 0, 2, 1},
       {0x80808080, 0x80808080}},
      {"scale 1.5: a shared column, a half-covered row", 2, 1, {kRed, kBlue}, {0, 0, 2, 1}, 1.5f, {0, 0, 3, 2},
       {kRed, 0xFF800080, kBlue, 0x80800000, 0x80400040, 0x80000080}},
      {"placed at its scaled corner", 1, 1, {kBlue}, {2, 1, 1, 1}, 2.0f, {4, 2, 2, 2},
       {kBlue, kBlue, kBlue, kBlue}},
      {"enlarged", 1, 2, {kBlack, kWhite}, {0, 0, 1, 4}, 1.0f, {0, 0, 1, 4}, {kBlack, kBlack, kWhite, kWhite}},
  };
  for (const ScalingCase& c : cases) {
    SCOPED_TRACE(c.what);
    const DevicePixelBox box = DevicePixelsOf(c.rect, c.scale);
    ASSERT_EQ(box, c.box);
    const size_t stride = static_cast<size_t>(box.width) + 1;  // a stride wider than a row stays untouched
    std::vector<uint32_t> out(stride * static_cast<size_t>(box.height), 0x12345678);
    PictureScaler scaler(c.sourceWidth, c.sourceHeight, c.rect, c.scale, out.data(), stride);
    for (uint32_t y = 0; y < c.sourceHeight; ++y) {
      EXPECT_FALSE(scaler.Finished());
      scaler.AddRow(&c.source[y * c.sourceWidth]);
    }
    EXPECT_TRUE(scaler.Finished());
    std::vector<uint32_t> written;
    for (size_t y = 0; y < static_cast<size_t>(box.height); ++y) {
      written.insert(written.end(), out.begin() + static_cast<ptrdiff_t>(y * stride),
                     out.begin() + static_cast<ptrdiff_t>(y * stride + static_cast<size_t>(box.width)));
      EXPECT_EQ(out[y * stride + static_cast<size_t>(box.width)], 0x12345678u);
    }
    EXPECT_EQ(written, c.expected);
  }
}

}  // namespace
