// The launcher's language, read from the real window as a user and a screen
// reader meet it: --lang de speaks German, --lang ar mirrors the window, and
// without --lang the user's UI language (under Wine: the LANG of the
// launcher's environment) decides.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "channel/utf8.h"
#include "tests/support/launcher_driver_win.h"

namespace {

// --lang de: the start-up DOWNLOAD preview's title line and button label,
// read through the accessible object, and the button's default action. (That
// an unknown tag gives English is the language choice's unit test; this run
// shows the launcher hands --lang to that choice.)
TEST(LauncherLanguageTest, LangPicksTheTexts) {
  LauncherRun run(L"--lang de");
  ASSERT_NE(run.WaitForWindow(), nullptr) << "no launcher window";
  EXPECT_TRUE(run.WaitForTexts([](const LauncherTexts& t) {
    return t.progress == L"Laufzeit wird heruntergeladen" && t.button == L"Abbrechen" && t.action == L"Dr\u00fccken";
  }, 5000)) << Describe(run.Texts()) << ", " << WideToUtf8(run.Texts().value_or(LauncherTexts{}).action);
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

// Arabic mirrors the window: it shows the mirrored start-up preview of its
// reference picture (the button at the left, the bar filling from the
// right, the texts in Arabic), and the button's accessible location is at
// the left too.
TEST(LauncherLanguageTest, ArabicMirrorsTheButtonAndTheBar) {
  LauncherRun run(L"--lang ar");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr) << "no launcher window";
  const AccessiblePtr object = AccessibleOf(window);
  ASSERT_NE(object, nullptr);
  LONG left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(object->accLocation(&left, &top, &width, &height, ChildId(kButtonChild)), S_OK);
  const RECT rect = WindowRectOf(window);
  EXPECT_LT(left + width, (rect.left + rect.right) / 2);
  const int differing = PixelsDifferingFromReference(window, "paint-download-ar-100");
  EXPECT_TRUE(MatchesReference(differing)) << differing << " pixels differ";
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

// Wine takes the user's UI language from the Unix locale of the process,
// which a Windows parent cannot change for its child: CTest runs this test
// with LANG=ja_JP.UTF-8 (and a generated locale, LOCPATH), so the launcher
// it starts without --lang must read Japanese.
TEST(LauncherLanguageTest, FollowsTheUsersUiLanguageWithoutLang) {
  const char* lang = std::getenv("LANG");
  if (lang == nullptr || std::string(lang).rfind("ja_JP", 0) != 0) GTEST_SKIP() << "run by CTest with LANG=ja_JP.UTF-8";
  LauncherRun run(L"");
  ASSERT_NE(run.WaitForWindow(), nullptr) << "no launcher window";
  EXPECT_TRUE(run.WaitForTexts(
      [](const LauncherTexts& t) {
        return t.progress == L"\u30e9\u30f3\u30bf\u30a4\u30e0\u3092\u30c0\u30a6\u30f3\u30ed\u30fc\u30c9\u3057\u3066\u3044\u307e\u3059";
      },
      5000))
      << Describe(run.Texts());
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

}  // namespace
