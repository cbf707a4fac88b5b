// What the real launcher window shows, read back from the screen: the
// start-up DOWNLOAD preview matches its reference picture, so the window
// paints exactly the off-screen frame of the same state.
#include <gtest/gtest.h>

#include <optional>

#include "tests/support/launcher_driver_win.h"

namespace {

TEST(PaintCaptureTest, StartupPreviewMatchesItsReferencePicture) {
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  const int differing = PixelsDifferingFromReference(window, "paint-download-100");
  EXPECT_TRUE(MatchesReference(differing)) << differing << " pixels differ (-1: not a launcher at 96 DPI)";
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

}  // namespace
