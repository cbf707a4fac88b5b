// What only the window's own process can see: the window procedure driven
// with sent messages on a hidden launcher window, for what no outside
// program can provoke at will.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>

#include "base/win_owners_win.h"
#include "channel/launch_message_win.h"
#include "state/launch_transitions.h"
#include "tests/support/launcher_driver_win.h"
#include "ui/launcher_app_win.h"
#include "ui/launcher_window_win.h"

namespace {

class LauncherWindowProcTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gdiplus_.ok());
    app_ = std::make_unique<LauncherApp>(GetModuleHandleW(nullptr), L"Weekly Report");
    ASSERT_TRUE(CreateLauncherWindow(*app_));
    PerformStateEffects(*app_, ApplyPreviewState(app_->state, L"DOWNLOAD"));
  }
  void TearDown() override {
    if (IsWindow(app_->window)) DestroyWindow(app_->window);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    app_.reset();  // the fonts go while GDI+ still runs
  }
  const ScopedGdiplus gdiplus_;
  std::unique_ptr<LauncherApp> app_;
};

// Retry may start the updater again; whatever the replaced run still has
// queued (lines, its exit-code report, its end) must not touch the new run.
TEST_F(LauncherWindowProcTest, ReplacedUpdaterRunsAreIgnored) {
  app_->updaterGeneration = 2;
  app_->updaterRunning = true;
  const auto post = [this](uint32_t generation, const wchar_t* kind) {
    auto event = std::make_unique<LaunchEvent>();
    event->kind = kind;
    event->generation = generation;
    SendMessageW(app_->window, WM_LAUNCH_EVENT, LaunchMessageCookie(), reinterpret_cast<LPARAM>(event.release()));
    return app_->state.stepKey;
  };
  EXPECT_EQ(post(1, L"error"), L"DOWNLOAD");
  SendMessageW(app_->window, WM_UPDATER_ENDED, LaunchMessageCookie(), 1);
  EXPECT_TRUE(app_->updaterRunning);
  EXPECT_EQ(post(2, L"error"), L"ERROR");
  EXPECT_EQ(post(0, L"done"), L"LAUNCH");  // standard input belongs to no run
  SendMessageW(app_->window, WM_UPDATER_ENDED, LaunchMessageCookie(), 2);
  EXPECT_FALSE(app_->updaterRunning);
}

// A screen reader may hold the window's object after the window is gone;
// the object must not reach into the destroyed window's data then.
TEST_F(LauncherWindowProcTest, AccessibleObjectHeldPastTheWindowAnswersNotConnected) {
  const AccessiblePtr accessible = AccessibleOf(app_->window);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(ReadTexts(app_->window).value_or(LauncherTexts{}).title, L"Weekly Report");
  DestroyWindow(app_->window);
  BSTR name = nullptr;
  EXPECT_EQ(accessible->get_accName(ChildId(kButtonChild), &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(accessible->accDoDefaultAction(ChildId(kButtonChild)), CO_E_OBJNOTCONNECTED);
}

}  // namespace
