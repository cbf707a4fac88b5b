// The real tarrow-launcher.exe as an assistive technology sees it, from a
// separate process through oleacc and Win32 alone: the window's accessible
// object, its texts as they follow fed lines, its default action, the
// WinEvents it raises, and the keys that press the action button.
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/win_owners_win.h"
#include "tests/support/launcher_driver_win.h"

namespace {

constexpr LONG kProgress = 1;
constexpr LONG kStatus = 2;
constexpr LONG kButton = 3;

VARIANT Child(LONG id) {
  VARIANT child{};
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
using AccessiblePtr = std::unique_ptr<IAccessible, Releaser>;

// One text property of a child; "<failed>" when the call fails.
template <typename Getter>
std::wstring TextOf(IAccessible* object, LONG id, Getter getter) {
  BSTR text = nullptr;
  if (FAILED((object->*getter)(Child(id), &text))) return L"<failed>";
  std::wstring result = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return result;
}
std::wstring NameOf(IAccessible* object, LONG id) { return TextOf(object, id, &IAccessible::get_accName); }
std::wstring ValueOf(IAccessible* object, LONG id) { return TextOf(object, id, &IAccessible::get_accValue); }

LONG LongOf(IAccessible* object, LONG id, HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, VARIANT*)) {
  VARIANT result{};
  if (FAILED((object->*getter)(Child(id), &result)) || result.vt != VT_I4) return -1;
  return result.lVal;
}

// Dispatches what arrived for this thread: out-of-context WinEvents come as
// messages while the test waits.
void PumpMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

class LauncherAccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeTestProcessDpiAware();
    ASSERT_TRUE(apartment_.ok());
  }

  // Starts the launcher fed by `input_` and reads its client object.
  void Start(const std::wstring& arguments) {
    ASSERT_TRUE(input_.ok());
    run_ = std::make_unique<LauncherRun>(arguments, input_.readEnd());
    input_.ReleaseReadEnd();
    window_ = run_->WaitForWindow();
    ASSERT_NE(window_, nullptr) << "no launcher window";
    void* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), &object),
              S_OK);
    accessible_.reset(static_cast<IAccessible*>(object));
  }

  bool WaitForName(LONG id, const std::wstring& name) {
    return WaitUntil([&] { return NameOf(accessible_.get(), id) == name; }, 5000);
  }

  const ScopedComApartment apartment_;
  LauncherInput input_;
  std::unique_ptr<LauncherRun> run_;
  HWND window_ = nullptr;
  AccessiblePtr accessible_;
};

TEST_F(LauncherAccessibilityTest, ExposesTheWindowAndFollowsFedLines) {
  Start(L"--state LINK");
  IAccessible* object = accessible_.get();
  EXPECT_EQ(NameOf(object, CHILDID_SELF), WindowCaption(window_));
  EXPECT_EQ(LongOf(object, CHILDID_SELF, &IAccessible::get_accRole), ROLE_SYSTEM_DIALOG);
  LONG count = 0;
  EXPECT_EQ(object->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  // Waiting without a target: the bar has no value and is busy, never "0%".
  EXPECT_EQ(LongOf(object, kProgress, &IAccessible::get_accRole), ROLE_SYSTEM_PROGRESSBAR);
  EXPECT_EQ(NameOf(object, kProgress), L"Connecting");
  EXPECT_EQ(ValueOf(object, kProgress), L"");
  EXPECT_NE(LongOf(object, kProgress, &IAccessible::get_accState) & STATE_SYSTEM_BUSY, 0);
  EXPECT_EQ(LongOf(object, kStatus, &IAccessible::get_accRole), ROLE_SYSTEM_STATICTEXT);
  EXPECT_EQ(NameOf(object, kStatus), L"Opening connection");
  EXPECT_EQ(LongOf(object, kButton, &IAccessible::get_accRole), ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(NameOf(object, kButton), L"Cancel");
  EXPECT_EQ(TextOf(object, kButton, &IAccessible::get_accDefaultAction), L"Press");
  // The button sits where it is painted, on the screen.
  LONG left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(kButton)), S_OK);
  const RECT rect = WindowRectOf(window_);
  EXPECT_EQ(std::vector<LONG>({left, top, width, height}), std::vector<LONG>({rect.left + 322, rect.top + 11, 58, 26}));

  ASSERT_TRUE(input_.Write("progress 0.42 DOWNLOAD Fetching files\n"));
  EXPECT_TRUE(WaitUntil([&] { return ValueOf(object, kProgress) == L"42%"; }, 5000)) << ValueOf(object, kProgress);
  EXPECT_EQ(LongOf(object, kProgress, &IAccessible::get_accState) & STATE_SYSTEM_BUSY, 0);
  EXPECT_EQ(NameOf(object, kProgress), L"Downloading runtime");
  EXPECT_EQ(NameOf(object, kStatus), L"Fetching files");

  ASSERT_TRUE(input_.Write("error Disk full\n"));
  EXPECT_TRUE(WaitForName(kButton, L"Retry")) << NameOf(object, kButton);
  EXPECT_EQ(run_->CloseWithEscape(), std::optional<DWORD>(0));
}

TEST_F(LauncherAccessibilityTest, DefaultActionRetriesInTheErrorStateAndClosesOtherwise) {
  Start(L"--state ERROR");
  ASSERT_EQ(NameOf(accessible_.get(), kButton), L"Retry");
  EXPECT_EQ(accessible_->accDoDefaultAction(Child(kButton)), S_OK);
  EXPECT_TRUE(WaitForName(kStatus, L"Retry requested"));
  EXPECT_EQ(NameOf(accessible_.get(), kButton), L"Cancel");
  EXPECT_TRUE(run_->WindowOpen()) << "Retry closed the window";
  // The button now reads Cancel: the same action closes the window.
  EXPECT_EQ(accessible_->accDoDefaultAction(Child(kButton)), S_OK);
  EXPECT_TRUE(run_->WaitForWindowClosed());
  EXPECT_EQ(run_->WaitForExit(), std::optional<DWORD>(0));
}

struct SeenEvent {
  HWND window;
  LONG object;
  LONG child;
};
std::vector<SeenEvent>* g_seen = nullptr;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (g_seen != nullptr) g_seen->push_back({window, object, child});
}

TEST_F(LauncherAccessibilityTest, ProgressRaisesValueChangeForTheProgressBar) {
  Start(L"--state DOWNLOAD");
  std::vector<SeenEvent> seen;
  g_seen = &seen;
  DWORD processId = 0;
  GetWindowThreadProcessId(window_, &processId);
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, RecordEvent,
                                       processId, 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ASSERT_TRUE(input_.Write("progress 0.9 DOWNLOAD\n"));
  const bool got = WaitUntil([&] {
    PumpMessages();
    for (const SeenEvent& event : seen) {
      if (event.window == window_ && event.object == OBJID_CLIENT && event.child == kProgress) return true;
    }
    return false;
  }, 5000);
  UnhookWinEvent(hook);
  g_seen = nullptr;
  EXPECT_TRUE(got) << seen.size() << " value changes, none for the progress bar";
  EXPECT_EQ(run_->CloseWithEscape(), std::optional<DWORD>(0));
}

TEST_F(LauncherAccessibilityTest, EnterRetriesInTheErrorStateAndSpaceCloses) {
  Start(L"--state ERROR");
  PostKeyDown(window_, VK_RETURN);
  EXPECT_TRUE(WaitForName(kStatus, L"Retry requested")) << "Enter did not retry";
  EXPECT_TRUE(run_->WindowOpen());
  PostKeyDown(window_, VK_SPACE);
  EXPECT_TRUE(run_->WaitForWindowClosed()) << "Space did not close the window";
  EXPECT_EQ(run_->WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
