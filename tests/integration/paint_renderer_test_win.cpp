// The drawing primitives, the frame set-up and the fonts, under GDI+.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ui/layout.h"
#include "tests/integration/paint_support_win.h"
#include "ui/fonts_win.h"
#include "ui/scene.h"
#include "ui/scene_renderer_win.h"

namespace gp = Gdiplus::DllExports;

namespace {

struct PathCase {
  const char* name;
  SceneRect rect;
  float radius;
  SceneRect bounds;
};

class RoundRectPathTest : public testing::TestWithParam<PathCase> {};

// Four quarter arcs of diameter 2r in the corners, closed; the radius is not
// reduced, so a rectangle narrower than r gets a figure wider than itself.
TEST_P(RoundRectPathTest, ArcsSpanTheCornersWithoutReducingTheRadius) {
  const PathCase& c = GetParam();
  PaintFonts();  // starts GDI+
  Gdiplus::GpPath* raw = nullptr;
  ASSERT_EQ(gp::GdipCreatePath(Gdiplus::FillModeAlternate, &raw), Gdiplus::Ok);
  UniqueGpPath path(raw);
  AddRoundRectPath(path.get(), c.rect, c.radius);

  Gdiplus::RectF bounds;
  ASSERT_EQ(gp::GdipGetPathWorldBounds(path.get(), &bounds, nullptr, nullptr), Gdiplus::Ok);
  EXPECT_NEAR(bounds.X, c.bounds.x, 1e-3);
  EXPECT_NEAR(bounds.Y, c.bounds.y, 1e-3);
  EXPECT_NEAR(bounds.Width, c.bounds.width, 1e-3);
  EXPECT_NEAR(bounds.Height, c.bounds.height, 1e-3);

  INT count = 0;
  gp::GdipGetPointCount(path.get(), &count);
  ASSERT_GT(count, 0);
  std::vector<BYTE> types(static_cast<size_t>(count));
  gp::GdipGetPathTypes(path.get(), types.data(), count);
  EXPECT_EQ(types[0] & Gdiplus::PathPointTypePathTypeMask, Gdiplus::PathPointTypeStart);
  EXPECT_NE(types.back() & Gdiplus::PathPointTypeCloseSubpath, 0) << "the figure is closed";
  for (size_t i = 1; i < types.size(); ++i)
    EXPECT_NE(types[i] & Gdiplus::PathPointTypePathTypeMask, Gdiplus::PathPointTypeStart) << "one figure only";
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, RoundRectPathTest,
    testing::Values(PathCase{"WindowCard", {0, 0, 392, 252}, 12, {0, 0, 392, 252}},
                    PathCase{"Chip", {27, 53, 70, 18}, 6, {27, 53, 70, 18}},
                    // Height 4 below 2r: the arcs overlap but stay within the bar.
                    PathCase{"NarrowBar", {12, 236, 3.68f, 4}, 3, {12, 236, 3.68f, 4}},
                    // Width below r: the right arcs start left of x.
                    PathCase{"SliverBar", {12, 236, 1, 4}, 3, {10, 236, 5, 4}},
                    PathCase{"ZeroRadius", {5, 5, 10, 10}, 0, {5, 5, 10, 10}}),
    [](const testing::TestParamInfo<PathCase>& param) { return param.param.name; });

PixelImage RenderOne(const DrawCommand& command, float scale = 1.0f, const UiFonts* fonts = nullptr) {
  return RenderList(DrawList{command}, scale, fonts != nullptr ? *fonts : PaintFonts());
}

struct Ink {
  int count = 0;
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
  double rowSum = 0, columnSum = 0;
};

Ink InkOf(const PixelImage& image) {
  Ink ink;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (ChannelDistance(image.At(x, y), 0xFF090A0C) <= 40) continue;
      ++ink.count;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ink.rowSum += y;
      ink.columnSum += x;
    }
  }
  return ink;
}

TEST(DrawLabelTest, LongTextStaysOnOneCentredLineInsideItsRectangle) {
  const std::wstring title =
      L"Tarrow Preview with a display title far too long for the title bar of the launcher window";
  const SceneRect box{47, 10, 232, 80};
  const Ink ink = InkOf(RenderOne(LabelCommand{title, kFontTitleBar, 0xFFF8FAFC, box, TextAlign::Near}));
  ASSERT_GT(ink.count, 100);
  EXPECT_GE(ink.left, 47);
  EXPECT_LT(ink.right, 47 + 232) << "cut at the rectangle";
  EXPECT_GT(ink.right, 47 + 232 - 20) << "the line runs to the end, ellipsis included";
  // One line of a 14-pixel font, vertically centred in the 80-unit box.
  EXPECT_LE(ink.bottom - ink.top, 18) << "never wraps";
  EXPECT_NEAR(ink.rowSum / ink.count, 50, 3);
}

TEST(DrawLabelTest, CentredTextSitsInTheMiddle) {
  const Ink ink =
      InkOf(RenderOne(LabelCommand{L"TW", kFontBadge, 0xFFE9FFFA, {12, 10, 28, 28}, TextAlign::Center}));
  ASSERT_GT(ink.count, 10);
  EXPECT_NEAR(ink.columnSum / ink.count, 26, 2);
  EXPECT_NEAR(ink.rowSum / ink.count, 24, 2);
}

TEST(DrawLabelTest, MissingFontDrawsNothing) {
  const UiFonts none;
  const Ink ink = InkOf(
      RenderOne(LabelCommand{L"Retry", kFontButton, 0xFFFFFFFF, {322, 11, 58, 26}, TextAlign::Center}, 1, &none));
  EXPECT_EQ(ink.count, 0);
}

TEST(PaintFrameTest, PenWidthsAndCoordinatesFollowTheScale) {
  const DrawList list{FillCommand{{0, 0, 392, 252}, 12, 0xFF101113},
                      StrokeCommand{{0.5f, 0.5f, 391, 251}, 12, 0x18FFFFFF, 1}};
  const uint32_t outline = Over(0x18FFFFFF, 0xFF101113);
  // At whole scales from 2 the pen covers exactly `scale` columns at each
  // side: the world transform scales coordinates and the pen alike.
  for (float scale : {2.0f, 3.0f}) {
    const PixelImage image = RenderList(list, scale, PaintFonts());
    ASSERT_EQ(image.width, ScaleUnits(392, scale));
    ASSERT_EQ(image.height, ScaleUnits(252, scale));
    const int middle = image.height / 2;
    const int lineWidth = static_cast<int>(scale);
    for (int x = 0; x < lineWidth; ++x) {
      EXPECT_LE(ChannelDistance(image.At(x, middle), outline), 2) << "scale " << scale << " column " << x;
      EXPECT_LE(ChannelDistance(image.At(image.width - 1 - x, middle), outline), 2) << "scale " << scale;
    }
    EXPECT_LE(ChannelDistance(image.At(lineWidth, middle), 0xFF101113), 2) << "scale " << scale;
    EXPECT_LE(ChannelDistance(image.At(image.width - 1 - lineWidth, middle), 0xFF101113), 2) << "scale " << scale;
    EXPECT_EQ(image.At(0, 0), kFrameClearColor) << "the corner outside the card";
  }
  // At scale 1 the 1-pixel line sits on the first or second column, depending
  // on the rasteriser's pixel-centre rule.
  const PixelImage image = RenderList(list, 1, PaintFonts());
  const int middle = image.height / 2;
  EXPECT_TRUE(ChannelDistance(image.At(0, middle), outline) <= 2 || ChannelDistance(image.At(1, middle), outline) <= 2);
  EXPECT_LE(ChannelDistance(image.At(2, middle), 0xFF101113), 2);
}

TEST(PaintFrameTest, PictureFillsTheHeaderCardOnlyWhenGiven) {
  Gdiplus::GpImage* picture = TarrowBackground();
  ASSERT_NE(picture, nullptr) << "resources/assets/tarrow-bg-v1.png";
  const DrawList list{ImageCommand{{12, 43, 368, 96}}};
  const PixelImage with = RenderList(list, 1, PaintFonts(), picture);
  const PixelImage without = RenderList(list, 1, PaintFonts(), nullptr);
  int changed = 0;
  for (int y = 43; y < 139; ++y)
    for (int x = 12; x < 380; ++x) changed += with.At(x, y) != kFrameClearColor ? 1 : 0;
  EXPECT_GT(changed, 368 * 96 / 2);
  EXPECT_EQ(with.At(200, 30), kFrameClearColor) << "nothing outside the card";
  EXPECT_EQ(with.At(200, 140), kFrameClearColor);
  for (uint32_t p : without.pixels) ASSERT_EQ(p, kFrameClearColor);
}

struct FontCase {
  int slot;
  float size;
  INT style;
};

TEST(FontsTest, CreateFontsFillsEverySlotInPixelUnits) {
  const FontCase table[] = {{0, 10, 1}, {1, 14, 1}, {2, 9, 1}, {3, 11, 1},
                            {4, 11, 0}, {5, 16, 1}, {6, 8, 1}, {7, 9, 1}};
  UiFonts fonts;
  PaintFonts();
  CreateFonts(fonts);
  CreateFonts(fonts);  // again: the old fonts are replaced
  for (const FontCase& c : table) {
    Gdiplus::GpFont* font = fonts[static_cast<size_t>(c.slot)].get();
    ASSERT_NE(font, nullptr) << "slot " << c.slot;
    Gdiplus::REAL size = 0;
    INT style = -1;
    Gdiplus::Unit unit = Gdiplus::UnitWorld;
    gp::GdipGetFontSize(font, &size);
    gp::GdipGetFontStyle(font, &style);
    gp::GdipGetFontUnit(font, &unit);
    EXPECT_EQ(size, c.size) << "slot " << c.slot;
    EXPECT_EQ(style, c.style) << "slot " << c.slot;
    EXPECT_EQ(unit, Gdiplus::UnitPixel) << "slot " << c.slot;
  }
}

std::wstring FamilyName(Gdiplus::GpFont* font) {
  Gdiplus::GpFontFamily* family = nullptr;
  if (gp::GdipGetFamily(font, &family) != Gdiplus::Ok) return L"";
  UniqueGpFontFamily owner(family);
  WCHAR name[LF_FACESIZE] = {};
  gp::GdipGetFamilyName(family, name, LANG_NEUTRAL);
  return name;
}

TEST(FontsTest, UnknownFamilyFallsBackToGenericSansSerifWithinTheAttempt) {
  PaintFonts();
  const UniqueGpFont fallback = CreateFontLikeFontClass(L"No Such Family 7f3a", 11, 1);
  ASSERT_NE(fallback, nullptr);
  Gdiplus::GpFontFamily* generic = nullptr;
  ASSERT_EQ(gp::GdipGetGenericFontFamilySansSerif(&generic), Gdiplus::Ok);
  UniqueGpFontFamily genericOwner(generic);
  WCHAR genericName[LF_FACESIZE] = {};
  gp::GdipGetFamilyName(generic, genericName, LANG_NEUTRAL);
  EXPECT_EQ(FamilyName(fallback.get()), std::wstring(genericName));

  const UniqueGpFont ui = CreateUiFont(11, 0);
  ASSERT_NE(ui, nullptr);
  EXPECT_FALSE(FamilyName(ui.get()).empty());
}

}  // namespace
