// The launcher window inside the test process: the application object is
// built for real, the window is created hidden, and the window procedure is
// driven with sent messages while the object's members are read directly.
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"
#include "ui/layout.h"
#include "ui/launcher_app_win.h"
#include "channel/launch_message_win.h"
#include "state/launch_transitions.h"
#include "ui/launcher_window_win.h"

namespace {

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// Removes what the destroyed window left in this thread's queue; true when
// a WM_QUIT with code 0 was among it.
bool DrainQuitZero() {
  bool sawQuitZero = false;
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT && message.wParam == 0) sawQuitZero = true;
  }
  return sawQuitZero;
}

class LauncherWindowProcTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

  // Builds the object and its hidden window with the preview state applied.
  void Open(const wchar_t* startupText, const wchar_t* preview = L"DOWNLOAD") {
    app_ = std::make_unique<LauncherApp>(GetModuleHandleW(nullptr), startupText);
    ASSERT_TRUE(CreateLauncherWindow(*app_));
    PerformStateEffects(*app_, ApplyPreviewState(app_->state, preview));
  }

  void TearDown() override {
    if (app_ != nullptr && IsWindow(app_->window)) DestroyWindow(app_->window);
    DrainQuitZero();
    app_.reset();  // the fonts go while GDI+ still runs
  }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(app_->window, message, wParam, lParam);
  }
  bool Open() const { return IsWindow(app_->window) != FALSE; }

  std::unique_ptr<LauncherApp> app_;
  static ULONG_PTR token_;
};

ULONG_PTR LauncherWindowProcTest::token_ = 0;

struct IdentityCase {
  const char* name;
  const wchar_t* startupText;
  const wchar_t* title;
  const wchar_t* profileKey;
  const wchar_t* displayTitle;
};

class LauncherAppIdentityTest : public LauncherWindowProcTest, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(LauncherAppIdentityTest, DerivesTitleProfileAndCaption) {
  const IdentityCase& c = GetParam();
  Open(c.startupText);
  EXPECT_EQ(app_->title, c.title);
  EXPECT_EQ(app_->profile.key, c.profileKey);
  EXPECT_EQ(app_->displayTitle, c.displayTitle);
  wchar_t caption[128] = {};
  GetWindowTextW(app_->window, caption, 128);
  EXPECT_EQ(std::wstring(caption), c.displayTitle);
}

INSTANTIATE_TEST_SUITE_P(
    StartupTexts, LauncherAppIdentityTest,
    ::testing::Values(IdentityCase{"Preview", L"Tarrow Preview", L"Tarrow Preview", L"tarrow", L"Tarrow Preview"},
                      IdentityCase{"ProfileName", L"Marlisk", L"Marlisk", L"marlisk", L"Marlisk"},
                      IdentityCase{"ExecutablePath", L"C:\\Apps\\Quenby\\Quenby.exe", L"Quenby", L"quenby",
                                   L"Quenby"},
                      IdentityCase{"ExecutableName", L"quenby.exe", L"quenby.exe", L"quenby", L"Quenby"},
                      IdentityCase{"FreeWords", L"Weekly Report", L"Weekly Report", L"tarrow", L"Weekly Report"}),
    [](const ::testing::TestParamInfo<IdentityCase>& p) { return std::string(p.param.name); });

TEST_F(LauncherWindowProcTest, ObjectStartsAtRestWithItsFonts) {
  const LauncherApp app(GetModuleHandleW(nullptr), L"Tarrow Preview");
  EXPECT_EQ(app.window, nullptr);
  EXPECT_EQ(app.state.stepKey, L"LINK");
  ASSERT_TRUE(app.state.progress.has_value());
  EXPECT_EQ(*app.state.progress, 0.0);
  EXPECT_TRUE(app.state.detailText.empty());
  EXPECT_FALSE(app.hoverButton || app.pressedButton || app.dragging);
  EXPECT_GE(app.dpiScale, 1.0f);
  for (size_t slot = 0; slot < app.fonts.size(); ++slot) EXPECT_NE(app.fonts[slot], nullptr) << "slot " << slot;
}

TEST_F(LauncherWindowProcTest, CreatesAHiddenTopMostPopupBoundToTheObject) {
  Open(L"Tarrow Preview");
  EXPECT_EQ(reinterpret_cast<LauncherApp*>(GetWindowLongPtrW(app_->window, GWLP_USERDATA)), app_.get());
  wchar_t className[64] = {};
  GetClassNameW(app_->window, className, 64);
  EXPECT_EQ(std::wstring(className), L"TarrowNativeWindow");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(app_->window, GWL_STYLE)) & ~WS_CLIPSIBLINGS, WS_POPUP);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(app_->window, GWL_EXSTYLE)) & (WS_EX_APPWINDOW | WS_EX_TOPMOST),
            0x00040008u);
  RECT rect{};
  GetWindowRect(app_->window, &rect);
  EXPECT_EQ(rect.right - rect.left, 392);
  EXPECT_EQ(rect.bottom - rect.top, 252);
  RECT box{};
  EXPECT_NE(GetWindowRgnBox(app_->window, &box), ERROR);
  // The animation timer runs from creation on.
  EXPECT_TRUE(KillTimer(app_->window, kAnimationTimerId));
}

TEST_F(LauncherWindowProcTest, HoverFollowsThePointerAndSetsTheHandCursor) {
  Open(L"Tarrow Preview");
  Send(WM_MOUSEMOVE, 0, Point(351, 24));
  EXPECT_TRUE(app_->hoverButton);
  EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(app_->window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  Send(WM_MOUSEMOVE, 0, Point(100, 100));
  EXPECT_FALSE(app_->hoverButton);
  Send(WM_MOUSEMOVE, 0, Point(379, 36));
  EXPECT_TRUE(app_->hoverButton);
  Send(WM_MOUSELEAVE);
  EXPECT_FALSE(app_->hoverButton);
}

TEST_F(LauncherWindowProcTest, PressOffTheButtonStartsADragFromTheCursor) {
  Open(L"Tarrow Preview");
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT rect{};
  GetWindowRect(app_->window, &rect);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 200));
  EXPECT_TRUE(app_->dragging);
  EXPECT_FALSE(app_->pressedButton);
  EXPECT_EQ(app_->dragOffsetX, cursor.x - rect.left);
  EXPECT_EQ(app_->dragOffsetY, cursor.y - rect.top);
  EXPECT_EQ(GetCapture(), app_->window);
  Send(WM_LBUTTONUP, 0, Point(351, 24));  // ending a drag on the button does not act
  EXPECT_FALSE(app_->dragging);
  EXPECT_TRUE(Open());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(LauncherWindowProcTest, RetryGoesBackToTheFirstStepAndTheNextClickCloses) {
  Open(L"Tarrow Preview", L"ERROR");
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(351, 24));
  EXPECT_TRUE(app_->pressedButton);
  Send(WM_MOUSEMOVE, MK_LBUTTON, Point(10, 10));
  Send(WM_LBUTTONUP, 0, Point(10, 10));
  EXPECT_FALSE(app_->pressedButton);
  EXPECT_EQ(app_->state.stepKey, L"ERROR") << "a release off the button acted";
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(351, 24));
  Send(WM_LBUTTONUP, 0, Point(351, 24));
  EXPECT_TRUE(Open());
  EXPECT_EQ(app_->state.stepKey, L"LINK");
  EXPECT_EQ(app_->state.detailText, L"Retry requested");
  EXPECT_FALSE(app_->state.progress.has_value());
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(351, 24));
  Send(WM_LBUTTONUP, 0, Point(351, 24));
  EXPECT_FALSE(Open());
  EXPECT_TRUE(DrainQuitZero());
}

TEST_F(LauncherWindowProcTest, EscapeClosesOtherKeysAndARepeatedEnterDoNot) {
  Open(L"Tarrow Preview");
  Send(WM_KEYDOWN, 'Q');
  // A held Enter's repeats must not press the button again (Retry, then Cancel).
  Send(WM_KEYDOWN, VK_RETURN, LPARAM{1} << 30);
  EXPECT_TRUE(Open());
  Send(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_FALSE(Open());
  EXPECT_TRUE(DrainQuitZero());
}

// A screen reader may hold the window's object after the window is gone;
// the object must not reach into the destroyed window's data then.
TEST_F(LauncherWindowProcTest, AccessibleObjectHeldPastTheWindowAnswersNotConnected) {
  const ScopedComApartment apartment;
  Open(L"Weekly Report");
  void* object = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(app_->window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), &object),
            S_OK);
  auto* accessible = static_cast<IAccessible*>(object);
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT button = self;
  button.lVal = 3;
  BSTR name = nullptr;
  EXPECT_EQ(accessible->get_accName(self, &name), S_OK);
  EXPECT_STREQ(name, L"Weekly Report");
  SysFreeString(name);
  DestroyWindow(app_->window);
  EXPECT_EQ(accessible->get_accName(button, &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(accessible->accDoDefaultAction(button), CO_E_OBJNOTCONNECTED);
  accessible->Release();
  EXPECT_TRUE(DrainQuitZero());
}

TEST_F(LauncherWindowProcTest, WmCloseDestroysTheWindowAndItsIconAndQuitsWithZero) {
  Open(L"Tarrow Preview");
  // The window destroys whatever icon it was given.
  if (app_->icon == nullptr) app_->icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  ASSERT_NE(app_->icon, nullptr);
  Send(WM_CLOSE);
  EXPECT_FALSE(Open());
  EXPECT_TRUE(DrainQuitZero());
  EXPECT_EQ(app_->icon, nullptr);
}

TEST_F(LauncherWindowProcTest, DpiChangeRescalesWindowRegionAndButton) {
  Open(L"Tarrow Preview");
  RECT suggested{100, 50, 100 + 588, 50 + 378};
  Send(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_FLOAT_EQ(app_->dpiScale, 1.5f);
  RECT rect{};
  GetWindowRect(app_->window, &rect);
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.right - rect.left, 588);
  EXPECT_EQ(rect.bottom - rect.top, 378);
  RECT box{};
  ASSERT_NE(GetWindowRgnBox(app_->window, &box), ERROR);
  EXPECT_GE(box.right, 588);
  EXPECT_GE(box.bottom, 378);
  EXPECT_TRUE(IsOnActionButton(app_->dpiScale, 483, 17));
  EXPECT_FALSE(IsOnActionButton(app_->dpiScale, 570, 17));
  // A change without a dpi counts as 96; no suggested rectangle leaves the size.
  Send(WM_DPICHANGED, 0, 0);
  EXPECT_FLOAT_EQ(app_->dpiScale, 1.0f);
  GetWindowRect(app_->window, &rect);
  EXPECT_EQ(rect.right - rect.left, 588);
}

TEST_F(LauncherWindowProcTest, LaunchEventsAreAppliedAndNullOrForeignOnesIgnored) {
  Open(L"Tarrow Preview");
  const LaunchState before = app_->state;
  Send(WM_LAUNCH_EVENT, LaunchMessageCookie(), 0);
  // Without the cookie the lParam is never read, so junk cannot crash.
  Send(WM_LAUNCH_EVENT, 0, 0x1234);
  Send(WM_LAUNCH_EVENT, LaunchMessageCookie() ^ 1, 0x1234);
  EXPECT_EQ(app_->state.stepKey, before.stepKey);
  EXPECT_EQ(app_->state.detailText, before.detailText);
  auto event = std::make_unique<LaunchEvent>();
  event->kind = L"progress";
  event->value = 0.75;
  event->caption = L"APPLY";
  event->detail = L"Patching";
  Send(WM_LAUNCH_EVENT, LaunchMessageCookie(), reinterpret_cast<LPARAM>(event.release()));  // the window frees it
  EXPECT_EQ(app_->state.stepKey, L"APPLY");
  EXPECT_EQ(app_->state.detailText, L"Patching");
  ASSERT_TRUE(app_->state.progress.has_value());
  EXPECT_EQ(*app_->state.progress, 0.75);
}

// Retry may start the updater again; whatever the replaced run still has
// queued (lines, its exit-code report, its end) must not touch the new run.
TEST_F(LauncherWindowProcTest, ReplacedUpdaterRunsAreIgnored) {
  Open(L"Tarrow Preview");
  app_->updaterGeneration = 2;
  app_->updaterRunning = true;
  const auto post = [this](uint32_t generation, const wchar_t* kind) {
    auto event = std::make_unique<LaunchEvent>();
    event->kind = kind;
    event->generation = generation;
    Send(WM_LAUNCH_EVENT, LaunchMessageCookie(), reinterpret_cast<LPARAM>(event.release()));
    return app_->state.stepKey;
  };
  EXPECT_EQ(post(1, L"error"), L"DOWNLOAD");
  Send(WM_UPDATER_ENDED, LaunchMessageCookie(), 1);
  EXPECT_TRUE(app_->updaterRunning);
  EXPECT_EQ(post(2, L"error"), L"ERROR");
  EXPECT_EQ(post(0, L"done"), L"LAUNCH");  // standard input belongs to no run
  Send(WM_UPDATER_ENDED, LaunchMessageCookie(), 2);
  EXPECT_FALSE(app_->updaterRunning);
}

// The system's taskbar list (Wine's too) is obtained when the shell
// announces the button, and takes the mirroring from then on.
TEST_F(LauncherWindowProcTest, TaskbarButtonCreatedTurnsTheMirroringOn) {
  Open(L"Tarrow Preview");
  EXPECT_FALSE(app_->taskbar.active());
  ASSERT_NE(app_->taskbar.createdMessage(), 0u);
  Send(app_->taskbar.createdMessage());
  EXPECT_TRUE(app_->taskbar.active());
  PerformStateEffects(*app_, RetryLaunch(app_->state));
  EXPECT_TRUE(Open());
}

TEST_F(LauncherWindowProcTest, DoneClosesTheWindowThroughTheCloseTimer) {
  Open(L"Tarrow Preview");
  auto event = std::make_unique<LaunchEvent>();
  event->kind = L"done";
  Send(WM_LAUNCH_EVENT, LaunchMessageCookie(), reinterpret_cast<LPARAM>(event.release()));
  EXPECT_EQ(app_->state.stepKey, L"LAUNCH");
  // The close timer is ours to fire: its message destroys the window.
  Send(WM_TIMER, kAnimationTimerId);
  EXPECT_TRUE(Open());
  Send(WM_TIMER, 7);
  EXPECT_TRUE(Open());
  Send(WM_TIMER, kCloseTimerId);
  EXPECT_FALSE(Open());
  EXPECT_TRUE(DrainQuitZero());
}

}  // namespace
