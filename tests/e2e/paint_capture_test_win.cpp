// What the real launcher window shows, read back from the screen: the start-up
// DOWNLOAD preview against its reference picture, the error look after a
// failing updater, the done look in the 1.4 s before the window closes, and
// a progress line without the system's animations.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "base/win_owners_win.h"
#include "tests/support/launcher_driver_win.h"
#include "tests/support/pixel_colors.h"
#include "tests/support/source_tree.h"
#include "tools/capture/screen_capture_win.h"
#include "tools/capture/frame_snapshot_win.h"
#include "ui/fonts_win.h"

namespace {

constexpr uint32_t kCard = 0xFF101113;
constexpr uint32_t kComplete = 0x752DD4BF;
constexpr uint32_t kPending = 0x14FFFFFF;
constexpr int kTolerance = 3;

// Centre of rail segment i, and points of the parts clear of any text (96 DPI).
int RailX(int i) { return static_cast<int>(12 + 74.4 * i + 35.2); }
constexpr int kRailY = 174;
constexpr int kButtonFillX = 325, kButtonFillY = 24;
constexpr int kBarY = 238;

uint32_t PixelOf(const ScreenPixels& image, int x, int y) { return ShownPixel(image, x, y); }

bool Near(const ScreenPixels& image, int x, int y, uint32_t expected) {
  return ShowsColor(image, x, y, expected, kTolerance);
}

// Ink: pixels inside the rectangle that stand out from the window card.
int InkIn(const ScreenPixels& image, int left, int top, int width, int height) {
  int ink = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) ink += ChannelDistance(PixelOf(image, x, y), kCard) > 40 ? 1 : 0;
  return ink;
}

class PaintCaptureTest : public testing::Test {
 protected:
  void SetUp() override {
    MakeTestProcessDpiAware();
    ASSERT_TRUE(gdiplus_.ok());
  }
  ScopedGdiplus gdiplus_;  // decodes the reference pictures
};

// The window paints exactly the off-screen frame of the same state: the
// DOWNLOAD preview at start-up matches its reference picture everywhere but
// in the corners the window region cuts away.
TEST_F(PaintCaptureTest, StartupPreviewMatchesItsReferencePicture) {
  const std::optional<PixelImage> reference = LoadPixels(SourcePath("tests/reference/paint-download-100.png"));
  ASSERT_TRUE(reference.has_value());
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  const auto shown = CaptureWhen(
      window, [](const ScreenPixels& image) { return Near(image, RailX(3), kRailY, Over(0xFF7DD3FC, kCard)); }, 10000);
  ASSERT_TRUE(shown.has_value()) << "the DOWNLOAD rail segment never showed";
  ASSERT_EQ(shown->width, reference->width) << "a launcher at 96 DPI";
  ASSERT_EQ(shown->height, reference->height);

  const int corner = 6;  // the region's 12 x 12 corner ellipses
  int differing = 0;
  int compared = 0;
  for (int y = 0; y < shown->height; ++y) {
    for (int x = 0; x < shown->width; ++x) {
      const bool inCornerX = x < corner || x >= shown->width - corner;
      const bool inCornerY = y < corner || y >= shown->height - corner;
      if (inCornerX && inCornerY) continue;
      ++compared;
      if (ChannelDistance(PixelOf(*shown, x, y), reference->At(x, y)) > 16) ++differing;
    }
  }
  EXPECT_LE(differing, compared / 2000) << differing << " of " << compared << " pixels differ";
  PostKeyDown(window, VK_ESCAPE);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// demo-updater.exe fail breaks off during the download: red status on the
// rail segment reached, Retry in amber, the bar back to its track.
TEST_F(PaintCaptureTest, FailingUpdaterShowsTheErrorLook) {
  const std::wstring updater = QuoteArgument(ProgramFolder() + L"\\demo-updater.exe fail");
  LauncherRun run(L"--updater-cmd " + updater);
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  const uint32_t retry = Over(0x24F59E0B, kCard);
  const auto shown = CaptureWhen(
      window, [&](const ScreenPixels& image) { return Near(image, kButtonFillX, kButtonFillY, retry); }, 20000);
  ASSERT_TRUE(shown.has_value()) << "Retry never showed";

  const uint32_t rail[] = {kComplete, kComplete, kComplete, 0xFFF87171, kPending};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(Near(*shown, RailX(i), kRailY, Over(rail[i], kCard)))
        << "segment " << i << ": " << Hex(PixelOf(*shown, RailX(i), kRailY));
  }
  const uint32_t track = Over(kPending, kCard);
  EXPECT_TRUE(Near(*shown, 30, kBarY, track)) << "the error target is 0: " << Hex(PixelOf(*shown, 30, kBarY));
  EXPECT_GE(InkIn(*shown, 12, 145, 318, 22), 30) << "title line";
  EXPECT_GE(InkIn(*shown, 12, 195, 368, 22), 30) << "detail line";
  PostKeyDown(window, VK_ESCAPE);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// The done event fills the bar in green and turns the button to Close at
// once; the window shows that until it closes itself.
TEST_F(PaintCaptureTest, DoneShowsTheDoneLookUntilTheWindowCloses) {
  LauncherInput input;
  ASSERT_TRUE(input.ok());
  LauncherRun run(L"", input.readEnd());
  input.ReleaseReadEnd();
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(input.Write("done\n"));
  const auto shown = CaptureWhen(
      window, [](const ScreenPixels& image) { return Near(image, 200, kBarY, 0xFF34D399); }, 1300);
  ASSERT_TRUE(shown.has_value()) << "the green bar never showed";

  EXPECT_TRUE(Near(*shown, kButtonFillX, kButtonFillY, Over(0x177DD3FC, kCard)))
      << "Close in sky blue: " << Hex(PixelOf(*shown, kButtonFillX, kButtonFillY));
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(Near(*shown, RailX(i), kRailY, Over(kComplete, kCard)))
        << "segment " << i << ": " << Hex(PixelOf(*shown, RailX(i), kRailY));
  }
  EXPECT_TRUE(Near(*shown, 378, kBarY, 0xFF34D399)) << "the bar is full";
  EXPECT_GE(InkIn(*shown, 338, 146, 42, 20), 20) << "percentage pill";
  EXPECT_TRUE(run.WaitForWindowClosed(5000));
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// Pixels of the rectangle that differ from the same place in `expected`.
int DifferingIn(const ScreenPixels& image, const PixelImage& expected, int left, int top, int width, int height) {
  int differing = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) differing += ChannelDistance(PixelOf(image, x, y), expected.At(x, y)) > 16;
  return differing;
}

// With the system's animations off the bar does not ease: the first capture
// in which the bar has moved on from the start-up 62 % already shows the
// line's 90 %, in the bar and in the pill, exactly as an off-screen frame
// at 90 % does. (Eased, the bar would pass through 67 %, 72 %, 75 % ...)
TEST_F(PaintCaptureTest, WithoutAnimationsAProgressLineShowsItsFigureAtOnce) {
  ScopedClientAreaAnimation animations(false);
  ASSERT_TRUE(animations.ok());
  UiFonts fonts;
  CreateFonts(fonts);
  PreviewFrame frame;
  frame.startupText.clear();
  frame.progress = 0.9;
  const PixelImage expected = RenderPreview(frame, fonts, nullptr);

  LauncherInput input;
  ASSERT_TRUE(input.ok());
  LauncherRun run(L"", input.readEnd());
  input.ReleaseReadEnd();
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  const uint32_t track = Over(kPending, kCard);
  const int pastStart = 12 + 368 * 64 / 100;
  const auto preview = CaptureWhen(
      window, [](const ScreenPixels& image) { return Near(image, RailX(3), kRailY, Over(0xFF7DD3FC, kCard)); }, 10000);
  ASSERT_TRUE(preview.has_value()) << "the start-up preview never showed";
  ASSERT_TRUE(Near(*preview, pastStart, kBarY, track)) << "the start-up preview at 62 %";
  ASSERT_TRUE(input.Write("progress 0.9 DOWNLOAD\n"));
  const auto moved = CaptureWhen(
      window, [&](const ScreenPixels& image) { return !Near(image, pastStart, kBarY, track); }, 5000);
  ASSERT_TRUE(moved.has_value()) << "the bar never moved";
  ASSERT_EQ(moved->width, expected.width);
  EXPECT_LE(DifferingIn(*moved, expected, 12, 236, 368, 4), 4) << "the bar at 90 %";
  EXPECT_LE(DifferingIn(*moved, expected, 338, 146, 42, 20), 4) << "the pill reads 90%";
  PostKeyDown(window, VK_ESCAPE);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
