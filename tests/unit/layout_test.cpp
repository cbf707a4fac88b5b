#include "ui/scene/layout.h"

#include <gtest/gtest.h>

namespace {

TEST(LayoutTest, UnitsScaleWithHalvesAwayFromZero) {
  const std::tuple<int32_t, float, int32_t> cases[] = {{392, 1.0f, 392},  {392, 1.5f, 588}, {11, 1.5f, 17},
                                                       {322, 1.25f, 403}, {12, 1.125f, 14}, {-11, 1.5f, -17}};
  for (const auto& [units, scale, pixels] : cases) EXPECT_EQ(ScaleUnits(units, scale), pixels) << units << " at " << scale;
  for (const auto& [dpi, scale] : {std::pair{144u, 1.5f}, {120u, 1.25f}, {96u, 1.0f}, {72u, 1.0f}, {0u, 1.0f}}) {
    EXPECT_FLOAT_EQ(DpiScaleFor(dpi), scale) << dpi;
    EXPECT_FLOAT_EQ(DpiScaleFromDpiChange((dpi << 16) | 7u), scale) << dpi;
  }
}

TEST(LayoutTest, WindowCentresInTheWorkAreaAndNeverLeavesItsCorner) {
  const std::tuple<PixelRect, float, PixelRect> cases[] = {
      {{0, 0, 1281, 801}, 1.0f, {444, 274, 836, 526}},  // odd remainders truncate
      {{-1920, -200, 0, 880}, 1.0f, {-1156, 214, -764, 466}},
      {{0, 0, 1920, 1080}, 1.5f, {666, 351, 1254, 729}},
      {{10, 20, 310, 220}, 1.0f, {10, 20, 402, 272}}};
  for (const auto& [work, scale, want] : cases) {
    const PixelRect got = CenterInWorkArea(work, scale);
    EXPECT_EQ(std::tie(got.left, got.top, got.right, got.bottom), std::tie(want.left, want.top, want.right, want.bottom));
  }
  const RegionShape region = WindowRegionShape(1.5f);
  EXPECT_EQ(std::tie(region.right, region.bottom, region.corner), std::make_tuple(589, 379, 18));
}

TEST(LayoutTest, ButtonHitIncludesLeftAndTopExcludesRightAndBottom) {
  const std::tuple<float, int32_t, int32_t, bool> cases[] = {
      {1.0f, 322, 11, true},  {1.0f, 379, 36, true},  {1.0f, 321, 20, false}, {1.0f, 380, 20, false},
      {1.0f, 350, 37, false}, {1.5f, 483, 17, true},  {1.5f, 569, 55, true},  {1.5f, 570, 30, false},
      {1.5f, 500, 16, false}, {1.0f, -330, -20, false}};
  for (const auto& [scale, x, y, on] : cases) EXPECT_EQ(IsOnActionButton(scale, x, y), on) << x << "," << y;
  const ClientPoint above = ClientPointFromLParam(static_cast<intptr_t>(0xFFF6FFFBu));
  EXPECT_EQ(std::tie(above.x, above.y), std::make_tuple(-5, -10));
}

TEST(LayoutTest, ChipButtonAndPillGrowToTheirLabelWithinLimits) {
  using namespace layout;
  const GrownRects standard = GrowToFit({62, 50, 34});
  EXPECT_EQ(std::tie(standard.chip, standard.button, standard.titleBarText, standard.titleBarMark, standard.pill,
                     standard.panelTitle),
            std::tie(kChip, kButton, kTitleBarText, kTitleBarMark, kPill, kPanelTitle));
  // The chip keeps its left edge, button and pill their right edges; what
  // stands left of them gives way by as much.
  const GrownRects grown = GrowToFit({200, 73.2f, 50});
  EXPECT_EQ(grown.chip, (SceneRect{27, 53, 120, 18}));
  EXPECT_EQ(grown.button, (SceneRect{298, 11, 82, 26}));
  EXPECT_EQ(std::tie(grown.titleBarMark.x, grown.titleBarText.width), std::make_tuple(272.0f, 208.0f));
  EXPECT_EQ(grown.pill, (SceneRect{322, 146, 58, 20}));
  EXPECT_EQ(grown.panelTitle.width, 302);
  EXPECT_EQ(GrowToFit({0, 500, 0}).button.width, kButtonMaxWidth);
  EXPECT_TRUE(IsOnActionButton(1.0f, 298, 20, false, grown.button));
  EXPECT_TRUE(IsOnActionButton(1.0f, 93, 20, true, grown.button));  // mirrored: 12 .. 94
  EXPECT_FALSE(IsOnActionButton(1.0f, 94, 20, true, grown.button));
}

}  // namespace
