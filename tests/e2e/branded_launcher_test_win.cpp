// A product team's launcher: tarrow-brand.exe writes a brand into a copy,
// and the copy, run as a separate process, shows it: the title read through
// its accessible object, the 1x picture at scale 1 and the 2x picture at
// scale 2, the accent at the start of the bar.
#include <gtest/gtest.h>

#include <string>

#include "channel/utf8.h"
#include "tests/support/asset_files_win.h"
#include "tests/support/launcher_driver_win.h"
#include "tests/support/pixel_colors.h"
#include "tools/capture/screen_capture_win.h"

namespace {

// A copy of the launcher in `tree`, branded by the brand tool with `brand`
// (written as tree\brand.ini).
ProgramRun BrandACopy(const TempTree& tree, const std::string& brand) {
  if (!WriteFileBytes(tree.Path(L"brand.ini"), brand)) return {};
  return RunProgram(L"tarrow-brand.exe", {tree.Path(L"brand.ini"), ProgramFolder() + L"\\tarrow-launcher.exe",
                                          tree.Path(L"tarrow-launcher.exe")});
}

bool SaveFlatPng(const std::wstring& path, int width, int height, uint32_t color) {
  return SavePng({width, height, std::vector<uint32_t>(static_cast<size_t>(width * height), color)}, path);
}

int Channel(uint32_t color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

TEST(BrandedLauncherTest, ShowsItsNamePicturesAndAccent) {
  const TempTree tree;
  ASSERT_TRUE(SaveFlatPng(tree.Path(L"red.png"), 800, 400, 0xFFFF0000));
  ASSERT_TRUE(SaveFlatPng(tree.Path(L"blue.png"), 1600, 800, 0xFF0000FF));
  ASSERT_TRUE(CopyFileW(AssetFixture(L"control.ico").c_str(), tree.Path(L"icon.ico").c_str(), FALSE));
  const std::wstring name = L"\u6975\u5149\u30ce\u30fc\u30c8";  // a name in another script
  const ProgramRun tool = BrandACopy(tree, "name = " + WideToUtf8(name) +
                                               "\nbadge = AN\naccent = #00E000\naccent-end = #00E000\ntheme = dark\n"
                                               "picture = red.png\npicture@2x = blue.png\nicon = icon.ico\n");
  ASSERT_EQ(tool.exitCode, std::optional<DWORD>(0)) << tool.output;

  // The header card's picture at (330, 62) in units, under the card's dark
  // shade; the bar's first pixels in the accent (the start-up preview shows 62 %).
  for (const auto& [dpi, red] : {std::pair<DWORD, bool>{96, true}, {192, false}}) {
    const ScopeGuard scale = SetSystemDpi(dpi);
    const int s = static_cast<int>(dpi / 96);
    LauncherRun run(L"", nullptr, tree.root());
    HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(run.WaitForTexts([&](const LauncherTexts& t) { return t.title == name; }))
        << Describe(run.Texts());
    uint32_t picture = 0, bar = 0;
    EXPECT_TRUE(WaitUntil([&] {
      const ScreenPixels shown = CaptureWindowFromScreen(window);
      if (shown.width < 392 * s || shown.height < 252 * s) return false;
      picture = shown.At(330 * s, 62 * s);
      bar = shown.At(16 * s, 238 * s);
      const int redMinusBlue = Channel(picture, 16) - Channel(picture, 0);
      return (red ? redMinusBlue > 20 : redMinusBlue < -20) && Channel(bar, 8) > 150 &&
             Channel(bar, 16) < 80 && Channel(bar, 0) < 80;
    }, 10000)) << std::hex << "scale " << s << ": picture " << picture << ", bar " << bar;
    EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
  }
}

// A brand with theme = system follows the app mode: dark or light at the
// start as the registry says, and live when the setting changes.
TEST(BrandedLauncherTest, SystemThemeFollowsTheAppModeLive) {
  const TempTree tree;
  const ProgramRun tool = BrandACopy(tree, "name = Theme Probe\ntheme = system\n");
  ASSERT_EQ(tool.exitCode, std::optional<DWORD>(0)) << tool.output;
  constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
  const auto setLight = [&](DWORD light) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"AppsUseLightTheme", REG_DWORD, &light, sizeof light) ==
           ERROR_SUCCESS;
  };
  const ScopeGuard restore([&] { RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"AppsUseLightTheme"); });
  // The window card below the bar: dark is the built-in card, light the near-white one.
  const auto cardIs = [](HWND window, bool light) {
    return WaitUntil([&] {
      const ScreenPixels shown = CaptureWindowFromScreen(window);
      return shown.width >= 392 && shown.height >= 252 && (Channel(shown.At(200, 246), 8) > 200) == light;
    }, 10000);
  };
  for (const DWORD light : {0u, 1u}) {
    ASSERT_TRUE(setLight(light));
    LauncherRun run(L"", nullptr, tree.root());
    HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(cardIs(window, light == 1)) << "at the start, AppsUseLightTheme " << light;
    ASSERT_TRUE(setLight(1 - light));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    EXPECT_TRUE(cardIs(window, light == 0)) << "after the switch from AppsUseLightTheme " << light;
    EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
  }
}

}  // namespace
