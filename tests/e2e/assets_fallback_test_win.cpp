// A copy of tarrow-launcher.exe in a folder of its own, once as built and
// once with its tarrow picture and icon made unloadable, and no asset file
// anywhere it looks: the window opens either way, with the artwork or with a
// plain header card, and closes with exit code 0. (The icon is checked by the
// asset integration tests: Wine answers WM_GETICON from another process with
// null whatever the window holds.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/asset_files_win.h"
#include "tests/support/launcher_driver_win.h"
#include "tools/capture/screen_capture_win.h"

namespace {

struct FallbackCase {
  const char* name;
  bool spoilResources;
};

void PrintTo(const FallbackCase& c, std::ostream* out) { *out << c.name; }

class LauncherAssetFallbackTest : public testing::TestWithParam<FallbackCase> {
 protected:
  void SetUp() override { MakeTestProcessDpiAware(); }
};

// Brightest minus darkest channel value over a patch of the header card to
// the right of the chip and above the title: the artwork's light edges run
// through it, a plain card is nearly flat there.
int ChannelSpread(const ScreenPixels& image) {
  int lo = 255;
  int hi = 0;
  for (int32_t y = 50; y < 90; ++y) {
    for (int32_t x = 240; x < 370; ++x) {
      const uint32_t p = image.At(x, y);
      for (int shift : {0, 8, 16}) {
        const int c = static_cast<int>((p >> shift) & 0xFF);
        lo = std::min(lo, c);
        hi = std::max(hi, c);
      }
    }
  }
  return hi - lo;
}

// The header card title is drawn in white: the frame has been painted.
bool TitlePainted(const ScreenPixels& image) {
  if (image.width < 392 || image.height < 252) return false;
  for (int32_t y = 94; y < 116; ++y) {
    for (int32_t x = 26; x < 200; ++x) {
      if ((image.At(x, y) & 0xC0C0C0u) == 0xC0C0C0u) return true;
    }
  }
  return false;
}

TEST_P(LauncherAssetFallbackTest, WindowOpensWithOrWithoutArtwork) {
  TempTree tree;
  ASSERT_TRUE(tree.ok());
  const std::wstring exe = tree.Path(L"tarrow-launcher.exe");
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\tarrow-launcher.exe").c_str(), exe.c_str(), FALSE));
  if (GetParam().spoilResources) {
    ASSERT_TRUE(ReplaceResources(exe, {{10, 201, "not a picture"}, {14, 101, "not an icon group"}}));
  }

  std::wstring commandLine = QuoteArgument(exe);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             tree.root().c_str(), &startup, &info))
      << GetLastError();
  UniqueHandle process(info.hProcess);
  CloseHandle(info.hThread);
  // Whatever happens below, no launcher outlives the test.
  struct Reaper {
    HANDLE process;
    ~Reaper() {
      if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
    }
  } reaper{process.get()};

  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (window = FindLauncherWindow(info.dwProcessId)) != nullptr; }, 15000))
      << "no launcher window";
  ScreenPixels shown;
  ASSERT_TRUE(WaitUntil(
      [&] {
        shown = CaptureWindowFromScreen(window);
        return TitlePainted(shown);
      },
      10000))
      << "the header card was never painted";

  const int spread = ChannelSpread(shown);
  if (GetParam().spoilResources) {
    EXPECT_LT(spread, 12) << "the header card is not plain";
  } else {
    EXPECT_GT(spread, 40) << "no artwork in the header card";
  }

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0) << "launcher still running";
  DWORD code = 1;
  GetExitCodeProcess(process.get(), &code);
  EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Builds, LauncherAssetFallbackTest,
                         testing::Values(FallbackCase{"AsBuilt", false}, FallbackCase{"Unloadable", true}),
                         [](const testing::TestParamInfo<FallbackCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
