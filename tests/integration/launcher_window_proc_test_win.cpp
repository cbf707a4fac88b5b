// What only the window's own process can see: the window procedure driven
// with sent messages on a hidden launcher window, for what no outside
// program can provoke at will.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "base/win_owners_win.h"
#include "channel/launch_message_win.h"
#include "channel/reader_thread_win.h"
#include "state/launch_transitions.h"
#include "tests/support/launcher_driver_win.h"
#include "ui/launcher_app_win.h"
#include "ui/launcher_window_win.h"

namespace {

// While set, allocations of 256 KiB or more fail, on any thread: a reader's
// pending bytes pass that on a long line, nothing else in these tests does.
std::atomic<bool> g_failLargeAllocations{false};

}  // namespace

void* operator new(std::size_t size) {
  if (g_failLargeAllocations.load() && size >= (size_t{256} << 10)) throw std::bad_alloc();
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

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

// An updater reader that fails on its way (out of memory on a long line)
// still reports its run's end once the child has exited: Retry is never
// left waiting for it.
TEST_F(LauncherWindowProcTest, AReaderThatFailsStillEndsItsRun) {
  std::optional<ChildProcess> child = StartProgram(L"demo-updater.exe", L"silent");
  ASSERT_TRUE(child.has_value());
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
  UniqueHandle writer(writeEnd);
  auto args = std::make_unique<ReaderArgs>();
  args->input = readEnd;
  args->ownedInput.reset(readEnd);
  args->window = app_->window;
  args->process = std::move(child->process);
  app_->updaterRunning = true;
  const std::string block(size_t{64} << 10, 'x');  // no LF: one growing line
  g_failLargeAllocations = true;
  ASSERT_TRUE(StartReaderThread(std::move(args)));
  DWORD written = 0;
  for (int i = 0; i < 8 && WriteFile(writer.get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
       ++i) {
  }
  const bool ended = WaitUntil([&] {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    return !app_->updaterRunning;
  }, 20000);
  g_failLargeAllocations = false;
  EXPECT_TRUE(ended) << "the failed reader never reported the end of its run";
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
