// The real tarrow-launcher.exe as an assistive technology sees it, from a
// separate process through oleacc and Win32 alone: the window's accessible
// object, its texts as they follow fed lines, its default action, the
// WinEvents it raises, the keys that press the action button, and the
// progress figure without the system's animations.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/launcher_driver_win.h"

namespace {

LONG LongOf(IAccessible* object, LONG id, HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, VARIANT*)) {
  VARIANT result{};
  if (FAILED((object->*getter)(ChildId(id), &result)) || result.vt != VT_I4) return -1;
  return result.lVal;
}

std::vector<LONG> g_valueChanges;  // children of the launcher's client object
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT) g_valueChanges.push_back(child);
}

// EVENT_OBJECT_LIVEREGIONCHANGED, which older headers lack.
constexpr DWORD kLiveRegionChanged = 0x8019;
std::vector<LONG> g_liveChanges;
void CALLBACK RecordLiveChange(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT) g_liveChanges.push_back(child);
}

void PumpEvents() {
  MSG message{};  // out-of-context WinEvents arrive as messages of this thread
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

class LauncherAccessibilityTest : public testing::Test {
 protected:
  void Start(const std::wstring& arguments) {
    run_ = std::make_unique<LauncherRun>(arguments, kInputPipe);
    window_ = run_->WaitForWindow();
    ASSERT_NE(window_, nullptr) << "no launcher window";
  }
  bool Shows(const std::wstring& status, const std::wstring& button) {
    return run_->WaitForTexts([&](const LauncherTexts& t) { return t.status == status && t.button == button; }, 5000);
  }
  std::unique_ptr<LauncherRun> run_;
  HWND window_ = nullptr;
};

TEST_F(LauncherAccessibilityTest, ExposesTheWindowAndFollowsFedLinesAndItsButton) {
  Start(L"--state LINK");
  const AccessiblePtr object = AccessibleOf(window_);
  ASSERT_NE(object, nullptr);
  const std::vector<LONG> roles = {ROLE_SYSTEM_DIALOG, ROLE_SYSTEM_PROGRESSBAR, ROLE_SYSTEM_STATICTEXT,
                                   ROLE_SYSTEM_PUSHBUTTON};
  for (LONG id = 0; id < 4; ++id) EXPECT_EQ(LongOf(object.get(), id, &IAccessible::get_accRole), roles[id]) << id;
  LONG left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(object->accLocation(&left, &top, &width, &height, ChildId(kButtonChild)), S_OK);
  const RECT rect = WindowRectOf(window_);
  EXPECT_EQ(std::vector<LONG>({left, top, width, height}), std::vector<LONG>({rect.left + 322, rect.top + 11, 58, 26}));
  // Waiting without a target: the bar has no value and is busy, never "0%".
  const auto waiting = ReadTexts(window_);
  ASSERT_TRUE(waiting.has_value());
  wchar_t caption[256] = {};  // the window's own caption is the same title
  GetWindowTextW(window_, caption, 256);
  EXPECT_EQ(waiting->title, caption);
  EXPECT_EQ(Describe(waiting), "[Tarrow Preview | Connecting  busy | Opening connection | Cancel]");

  const DWORD processId = run_->processId();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, RecordEvent,
                                       processId, 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ASSERT_TRUE(run_->Feed("progress 0.42 DOWNLOAD Fetching files\n"));
  EXPECT_TRUE(WaitUntil([&] {
    MSG message{};  // out-of-context WinEvents arrive as messages of this thread
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    return std::count(g_valueChanges.begin(), g_valueChanges.end(), kProgressChild) > 0 &&
           Describe(run_->Texts()) == "[Tarrow Preview | Downloading runtime 42% | Fetching files | Cancel]";
  }, 5000)) << Describe(run_->Texts()) << ", " << g_valueChanges.size() << " value changes";
  UnhookWinEvent(hook);

  // Retry through the default action, then through Enter (Space shares its
  // handling); with standard input only, Retry waits for the next line and
  // the window stays.
  ASSERT_TRUE(run_->Feed("error Disk full\n"));
  ASSERT_TRUE(Shows(L"Disk full", L"Retry")) << Describe(run_->Texts());
  EXPECT_EQ(object->accDoDefaultAction(ChildId(kButtonChild)), S_OK);
  EXPECT_TRUE(Shows(L"Retry requested", L"Cancel")) << Describe(run_->Texts());
  Sleep(2 * kSettleMs);
  EXPECT_TRUE(Shows(L"Retry requested", L"Cancel")) << "the display moved on: " << Describe(run_->Texts());
  ASSERT_TRUE(run_->Feed("error Disk full\n"));
  ASSERT_TRUE(Shows(L"Disk full", L"Retry")) << Describe(run_->Texts());
  PostKeyDown(window_, VK_RETURN);
  EXPECT_TRUE(Shows(L"Retry requested", L"Cancel")) << "Enter did not retry";
  // Cancel through the default action ends the run as a click does.
  EXPECT_EQ(object->accDoDefaultAction(ChildId(kButtonChild)), S_OK);
  EXPECT_EQ(run_->WaitForExit(), std::optional<DWORD>(0)) << "the default action did not cancel";
}

// With the system's animations off the bar does not ease: the first figure
// after the start-up 62 % is already the line's 90 % (eased, it would pass
// through 68 %, 73 % ...).
TEST_F(LauncherAccessibilityTest, WithoutAnimationsAProgressLineShowsItsFigureAtOnce) {
  // The system's client-area animations off for the launcher started while
  // they are (announced with WM_SETTINGCHANGE; the new value travels in
  // pvParam itself), put back as they were at the end.
  const auto animate = [](BOOL on) {
    return SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(on)),
                                 SPIF_SENDCHANGE) != FALSE;
  };
  BOOL previous = TRUE;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &previous, 0) && animate(FALSE));
  const ScopeGuard restore([&] { animate(previous); });
  Start(L"");
  ASSERT_TRUE(run_->WaitForTexts([](const LauncherTexts& t) { return t.percent == L"62%"; })) << Describe(run_->Texts());
  ASSERT_TRUE(run_->Feed("progress 0.9 DOWNLOAD\n"));
  std::wstring next;
  ASSERT_TRUE(run_->WaitForTexts([&](const LauncherTexts& t) { return (next = t.percent) != L"62%"; }, 5000));
  EXPECT_EQ(next, L"90%");
  EXPECT_EQ(run_->CloseWithEscape(), std::optional<DWORD>(0));
}

// Byte counts fed over several seconds read back through the status text:
// done of total first, then the rate and, after the first 5 s, time left.
TEST_F(LauncherAccessibilityTest, ByteCountsShowAsDoneOfTotalWithRateAndTimeLeft) {
  Start(L"--state LINK");
  ASSERT_TRUE(run_->Feed("progress 0.62 DOWNLOAD Fetching runtime.pak\nbytes 0 249561088\n"));
  ASSERT_TRUE(run_->WaitForStatus(L"0 bytes of 238 MB \u00B7 Fetching runtime.pak")) << Describe(run_->Texts());
  // 1.8 MB a second; the clock is the launcher's, so only the words' shape is certain.
  for (uint64_t second = 1; second <= 7; ++second) {
    Sleep(1000);
    ASSERT_TRUE(run_->Feed("bytes " + std::to_string(second * 1887437) + " 249561088\n"));
  }
  std::wstring status;
  EXPECT_TRUE(run_->WaitForTexts([&](const LauncherTexts& t) {
    status = t.status;
    return status.starts_with(L"12.6 MB of 238 MB \u00B7 ") && status.find(L" MB/s \u00B7 About ") != std::wstring::npos &&
           status.ends_with(L" left \u00B7 Fetching runtime.pak");
  })) << Describe(run_->Texts());
  EXPECT_EQ(run_->CloseWithEscape(), std::optional<DWORD>(0));
}

// Another process hooks the live region's event: one per step, one for the
// error, one for the end, and none for a percent at a time.
TEST_F(LauncherAccessibilityTest, TheLiveRegionSpeaksEachStepTheErrorAndTheEndOnce) {
  Start(L"--state LINK");
  ASSERT_TRUE(run_->WaitForStatus(L"Opening connection"));
  g_liveChanges.clear();
  HWINEVENTHOOK hook = SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, RecordLiveChange,
                                       run_->processId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  const ScopeGuard unhook([&] { UnhookWinEvent(hook); });
  // Each change waits until it shows (the end closes the window soon: its
  // event alone is waited for), then for its event, then a while for a
  // second one that must not come.
  // Reading the texts through COM pumps this thread's messages too, so the
  // count starts before the feed.
  const auto changeAndCount = [&](const std::string& lines, const std::wstring& status) {
    const size_t before = g_liveChanges.size();
    EXPECT_TRUE(run_->Feed(lines));
    if (!status.empty()) {
      EXPECT_TRUE(run_->WaitForStatus(status)) << Describe(run_->Texts());
    }
    WaitUntil([&] { PumpEvents(); return g_liveChanges.size() > before; }, 3000);
    const DWORD settleUntil = GetTickCount() + kSettleMs;
    while (GetTickCount() < settleUntil) {
      PumpEvents();
      Sleep(20);
    }
    return g_liveChanges.size() - before;
  };
  EXPECT_EQ(changeAndCount("progress 0.02 VERIFY Checking\n", L"Checking"), 1u);
  EXPECT_EQ(changeAndCount("progress 0.03 VERIFY a\nprogress 0.04 VERIFY a\nprogress 0.05 VERIFY a\n"
                           "progress 0.06 VERIFY a\nprogress 0.07 VERIFY a\nprogress 0.08 VERIFY b\n",
                           L"b"), 0u);
  EXPECT_EQ(changeAndCount("progress 0.1 DOWNLOAD Fetching\n", L"Fetching"), 1u);
  EXPECT_EQ(changeAndCount("error Disk full\n", L"Disk full"), 1u);
  EXPECT_EQ(changeAndCount("done\n", L""), 1u);
  EXPECT_TRUE(std::all_of(g_liveChanges.begin(), g_liveChanges.end(), [](LONG child) { return child == 4; }));
}

}  // namespace
