// What the real launcher window shows, read back from the screen: the
// start-up DOWNLOAD preview matches its reference picture, so the window
// paints exactly the off-screen frame of the same state.
#include <gtest/gtest.h>

#include <optional>

#include "base/win_owners_win.h"
#include "tests/support/launcher_driver_win.h"
#include "tests/support/pixel_colors.h"
#include "tests/support/source_tree.h"
#include "tools/capture/frame_snapshot_win.h"
#include "tools/capture/screen_capture_win.h"

namespace {

// Pixels that differ from the reference, outside the corners the window
// region cuts away (its 12 x 12 corner ellipses); -1 for another size.
int DifferingPixels(const ScreenPixels& shown, const PixelImage& reference) {
  if (shown.width != reference.width || shown.height != reference.height) return -1;
  constexpr int kCorner = 6;
  int differing = 0;
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      const bool inCorner = (x < kCorner || x >= shown.width - kCorner) && (y < kCorner || y >= shown.height - kCorner);
      if (!inCorner && ChannelDistance(shown.At(x, y), reference.At(x, y)) > 16) ++differing;
    }
  }
  return differing;
}

TEST(PaintCaptureTest, StartupPreviewMatchesItsReferencePicture) {
  const ScopedGdiplus gdiplus;  // decodes the reference picture
  const std::optional<PixelImage> reference = LoadPixels(SourcePath("tests/reference/paint-download-100.png"));
  ASSERT_TRUE(reference.has_value());
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  // The first frames may still be on their way to the screen.
  int differing = -1;
  WaitUntil([&] {
    differing = DifferingPixels(CaptureWindowFromScreen(window), *reference);
    return differing >= 0 && differing <= reference->width * reference->height / 2000;
  }, 10000);
  EXPECT_GE(differing, 0) << "not the size of a launcher at 96 DPI";
  EXPECT_LE(differing, reference->width * reference->height / 2000) << differing << " pixels differ";
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

}  // namespace
