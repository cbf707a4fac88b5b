// What only the window's own process can see: the window procedure driven
// with sent messages on a hidden launcher window, for what no outside
// program can provoke at will.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/win_owners_win.h"
#include "channel/launch_message_win.h"
#include "channel/reader_thread_win.h"
#include "channel/utf8.h"
#include "state/launch_transitions.h"
#include "tests/support/asset_files_win.h"
#include "tests/support/launcher_driver_win.h"
#include "ui/paint/assets_win.h"
#include "ui/window/launcher_app_win.h"
#include "ui/window/launcher_window_win.h"
#include "ui/window/updater_launch_win.h"

namespace {

// While set, allocations of 256 KiB or more fail, on any thread: a reader's
// pending bytes pass that on a long line, nothing else in these tests does.
std::atomic<bool> g_failLargeAllocations{false};

}  // namespace

// The process heap rather than malloc and free: the compiler pairs those
// with these operators and warns of a mismatch where it inlines them.
void* operator new(std::size_t size) {
  if (g_failLargeAllocations.load() && size >= (size_t{256} << 10)) throw std::bad_alloc();
  if (void* block = HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

class LauncherWindowProcTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gdiplus_.ok());
    app_ = std::make_unique<LauncherApp>(GetModuleHandleW(nullptr), L"Weekly Report");
    ASSERT_TRUE(CreateLauncherWindow(*app_));
    PerformStateEffects(*app_, ApplyPreviewState(app_->launch.state, L"DOWNLOAD"));
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

// Dispatches the test thread's messages (the window's ticks among them)
// until `done` holds; false after 20 s.
bool PumpUntil(const std::function<bool()>& done) {
  return WaitUntil([&] {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    return done();
  }, 20000);
}

std::wstring DemoUpdaterScript(const TempFile& script) {
  return QuoteArgument(ProgramFolder() + L"\\demo-updater.exe") + L" --script " + QuoteArgument(script.path());
}

// The icon is made only once asked for (after the first frame) and reaches
// the window by the message the asset thread posts.
TEST_F(LauncherWindowProcTest, TheIconComesByMessageOnceAskedFor) {
  // The profile's icon file, found in the current folder.
  const TempTree tree;
  ASSERT_TRUE(CopyFileW(AssetFixture(L"control.ico").c_str(), tree.Path(L"control.ico").c_str(), FALSE));
  const std::wstring before = GetCurrentDirectoryPath();
  ASSERT_TRUE(SetCurrentDirectoryW(tree.root().c_str()));
  const ScopeGuard back([&] { SetCurrentDirectoryW(before.c_str()); });
  AttachAssets(*app_);
  RequestIcon(*app_);
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(app_->window, WM_GETICON, ICON_BIG, 0) != 0; }));
  EXPECT_EQ(SendMessageW(app_->window, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(app_->icon));
}

// An updater reader that fails on its way (out of memory on a long line)
// still reports its run's end once the child has exited: Retry is never
// left waiting for it.
TEST_F(LauncherWindowProcTest, AReaderThatFailsStillEndsItsRun) {
  const TempFile script(std::string(size_t{512} << 10, 'x'));  // no LF: one growing line
  app_->updater.command = DemoUpdaterScript(script);
  g_failLargeAllocations = true;
  StartUpdaterOrShowError(*app_);
  ASSERT_TRUE(app_->updater.running());
  const bool ended = PumpUntil([&] { return !app_->updater.running(); });
  g_failLargeAllocations = false;
  EXPECT_TRUE(ended) << "the failed reader never reported the end of its run";
}

// Started while no reader thread can be: the child runs unread. The error
// says why; Retry starts no second copy beside it, but a new run once it
// has ended.
TEST_F(LauncherWindowProcTest, AChildWithoutAReaderIsWaitedForBeforeRetry) {
  static int starts = 0;
  app_->updater.starters.startReader = [](std::unique_ptr<ReaderArgs>&) {
    ++starts;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  };
  const TempFile gate;
  const TempFile script(gate.WaitLine());
  app_->updater.command = DemoUpdaterScript(script);
  StartUpdaterOrShowError(*app_);
  EXPECT_EQ(ViewOf(*app_).detail.rfind(L"Updater output cannot be read (error 8", 0), 0u) << ViewOf(*app_).detail;
  ASSERT_EQ(ViewOf(*app_).button, StepButton::Retry);
  PressActionButton(*app_);
  EXPECT_EQ(starts, 1) << "a second copy started beside the unread one";
  ASSERT_TRUE(gate.Write());
  EXPECT_TRUE(PumpUntil([&] { return starts == 2; })) << "Retry never started a new run after the child ended";
}

// Refusals that a test run as Wine's user cannot provoke (Wine elevates an
// updater whose manifest asks for administrator rights instead of refusing
// it with 740, and reports a missing file where Windows denies access with
// 5), put in CreateProcessW's place: the error gives the code, the system's
// words where it has them, and for 740 what to do.
TEST_F(LauncherWindowProcTest, StartRefusalsSayWhyAndWhatToDo) {
  static DWORD refusal = 0;
  app_->updater.starters.createProcess = [](LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                            LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION) -> BOOL {
    SetLastError(refusal);
    return FALSE;
  };
  app_->updater.command = L"update.exe";
  const std::wstring advice = L" The updater needs administrator rights: start the update tool as administrator, "
                              L"or give the updater an asInvoker manifest.";
  const struct {
    DWORD code;
    std::wstring start;  // Wine has no words for 740
    std::wstring end;
  } cases[] = {
      {5, L"Updater process start failed (error 5: ", L")"},
      {740, L"Updater process start failed (error 740", L")" + advice},
  };
  for (const auto& c : cases) {
    refusal = c.code;
    StartUpdaterOrShowError(*app_);
    const std::wstring detail = ViewOf(*app_).detail;
    EXPECT_TRUE(detail.rfind(c.start, 0) == 0 && detail.size() >= c.start.size() + c.end.size() &&
                detail.compare(detail.size() - c.end.size(), c.end.size(), c.end) == 0)
        << WideToUtf8(detail);
    EXPECT_FALSE(app_->updater.running());
  }
}

// Dispatches the test thread's queued messages; returns how many of them
// were WM_LAUNCH_EVENT.
int DispatchQueued() {
  int launchEvents = 0;
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_LAUNCH_EVENT) ++launchEvents;
    DispatchMessageW(&message);
  }
  return launchEvents;
}

// A reader on a pipe the test writes, eager (standard input) or paced (the
// updater's): each write, once the reader has taken it, is one message
// holding the lines it completed (a line cut between writes comes with the
// write that ends it; the paced reader holds back no line it has read), and
// the window applies every one of them in order: a "done" amid a read still
// hands the launch over, and the read's last line is what shows.
TEST_F(LauncherWindowProcTest, EachReadsLinesComeInOneMessageAndApplyInOrder) {
  std::string manyLines;
  for (int line = 1; line <= 60; ++line) {
    manyLines += line == 30 ? "done\n" : "progress 0." + std::to_string(line + 10) + " DOWNLOAD Line " +
                                             std::to_string(line) + "\n";
  }
  const struct {
    ReadPace pace;
    std::vector<std::string> writes;
    bool handedOver;
    const wchar_t* step;
    const wchar_t* detail;
  } cases[] = {
      {ReadPace::Eager, {"progress 0.5 DOWNLOAD Receiving changes\r\nstat", "us Verifying package\n"}, false,
       L"DOWNLOAD", L"Verifying package"},
      {ReadPace::Paced, {"progress 0.4 DOWNLOAD Receiving\nprogress 0.5 DOWNLOAD Rec", "eived\n", "status Verifying\n"},
       false, L"DOWNLOAD", L"Verifying"},
      // Last: the close that "done" arms may end the window once the case is over.
      {ReadPace::Eager, {manyLines + "progress 0.5 APPLY Last of the read\n"}, true, L"APPLY", L"Last of the read"},
  };
  for (const auto& c : cases) {
    PerformStateEffects(*app_, RetryLaunch(app_->launch.state));
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, kReaderPipeBytes));
    UniqueHandle reading(readEnd), writing(writeEnd);
    std::thread reader([&] { RunReader(reading.get(), app_->window, nullptr, c.pace); });
    int messages = 0;
    for (size_t i = 0; i < c.writes.size(); ++i) {
      DWORD written = 0;
      ASSERT_TRUE(WriteFile(writing.get(), c.writes[i].data(), static_cast<DWORD>(c.writes[i].size()), &written,
                            nullptr));
      // The next write waits until the reader has handed this one over.
      ASSERT_TRUE(WaitUntil([&] { return (messages += DispatchQueued()) >= static_cast<int>(i) + 1; }, 20000));
    }
    writing.reset();
    reader.join();
    messages += DispatchQueued();
    EXPECT_EQ(messages, static_cast<int>(c.writes.size())) << c.writes.back();
    EXPECT_EQ(app_->launch.state.handedOver, c.handedOver) << c.writes.back();
    EXPECT_EQ(app_->launch.state.stepKey, c.step) << c.writes.back();
    EXPECT_EQ(ViewOf(*app_).detail, c.detail) << c.writes.back();
  }
}

// A batch is looked at only with this process's cookie: without it the
// window neither applies nor frees what lParam points to.
TEST_F(LauncherWindowProcTest, ABatchWithoutTheCookieIsLeftAlone) {
  LaunchEventBatch forged{{LaunchEvent{L"error", {}, {}, L"Forged", {}}}};
  SendMessageW(app_->window, WM_LAUNCH_EVENT, LaunchMessageCookie() ^ 1, reinterpret_cast<LPARAM>(&forged));
  EXPECT_EQ(app_->launch.state.stepKey, L"DOWNLOAD");
  ASSERT_EQ(forged.events.size(), 1u);
  auto owned = std::make_unique<LaunchEventBatch>(forged);
  SendMessageW(app_->window, WM_LAUNCH_EVENT, LaunchMessageCookie(), reinterpret_cast<LPARAM>(owned.release()));
  EXPECT_EQ(ViewOf(*app_).detail, L"Forged");
}

std::vector<LONG> g_focused;  // children of the window's client object that took the focus
void CALLBACK RecordFocus(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT && window != nullptr) g_focused.push_back(child);
}

// An error that the next line of the same read overtakes is still told to
// screen readers: the button turned to Retry and took the focus, once.
TEST_F(LauncherWindowProcTest, AnErrorOvertakenWithinABatchIsStillAnnounced) {
  FlushPendingView(*app_);
  g_focused.clear();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, RecordFocus,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  auto batch = std::make_unique<LaunchEventBatch>();
  batch->events = {LaunchEvent{L"error", {}, {}, L"Mirror lost", {}},
                   LaunchEvent{L"progress", 0.5, L"DOWNLOAD", L"Resumed", {}}};
  SendMessageW(app_->window, WM_LAUNCH_EVENT, LaunchMessageCookie(), reinterpret_cast<LPARAM>(batch.release()));
  FlushPendingView(*app_);
  DispatchQueued();
  UnhookWinEvent(hook);
  EXPECT_EQ(ViewOf(*app_).detail, L"Resumed");
  EXPECT_EQ(g_focused, std::vector<LONG>{kButtonChild});
}

// "done", an error after it, and Retry before the close armed by "done"
// fires: Retry is the user's answer, and the close no longer stands.
TEST_F(LauncherWindowProcTest, RetryCancelsAPendingClose) {
  PerformStateEffects(*app_, ApplyLaunchEvent(app_->launch.state, LaunchEvent{L"done", {}, {}, {}, {}}));
  PerformStateEffects(*app_, ApplyLaunchEvent(app_->launch.state, LaunchEvent{L"error", {}, {}, L"Mirror lost", {}}));
  ASSERT_EQ(ViewOf(*app_).button, StepButton::Retry);
  PressActionButton(*app_);
  const ULONGLONG pressed = GetTickCount64();
  PumpUntil([&] { return !IsWindow(app_->window) || GetTickCount64() - pressed > 2 * kCloseTimerMs; });
  EXPECT_TRUE(IsWindow(app_->window)) << "the close armed by done destroyed the window after Retry";
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
