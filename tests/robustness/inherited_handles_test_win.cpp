// The updater inherits the pipe's write end and standard input, nothing
// else: a caller that reads the launcher's standard output to its end is not
// held up by an updater that outlives the launcher.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/robustness/robust_launcher_win.h"
#include "tests/support/launcher_driver_win.h"

namespace {

// "hang" closes its output at once and then runs for ten minutes; the test
// ends it.
class UpdaterOutlivesTheLauncher : public testing::Test {
 protected:
  void TearDown() override {
    if (updater_ == 0) return;
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, updater_));
    if (process != nullptr) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 5000);
    }
  }

  DWORD updater_ = 0;
};

TEST_F(UpdaterOutlivesTheLauncher, LaunchersOutputEndsWhenTheLauncherExits) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
  UniqueHandle output(readEnd);
  UniqueHandle launcherOutput(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  LauncherProcess launcher(BuiltProgram(L"tarrow-launcher.exe"),
                           L"--updater-cmd " + QuoteArgument(BuiltCommand(L"demo-updater.exe", L"hang")), nullptr,
                           L"", launcherOutput.get());
  launcherOutput.reset();  // the launcher (and what it hands on) holds the only write end now
  ASSERT_TRUE(launcher.started());
  ASSERT_NE(launcher.WaitForWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] {
    for (const ProcessEntry& p : ListProcesses()) {
      if (p.parentId == launcher.id() && _wcsicmp(p.exeName.c_str(), L"demo-updater.exe") == 0) updater_ = p.id;
    }
    return updater_ != 0;
  }, 10000)) << "the updater did not start";

  PostKeyDown(launcher.window(), VK_ESCAPE);
  ASSERT_EQ(launcher.WaitForExit(10000), std::optional<DWORD>(0));
  // The end of the output: a peek at a pipe whose writers are all gone fails.
  const bool ended = WaitUntil([&] { return !PeekNamedPipe(output.get(), nullptr, 0, nullptr, nullptr, nullptr); },
                               5000);
  EXPECT_TRUE(ended) << "the launcher's output stays open after it exited";
  EXPECT_TRUE(ProcessAlive(updater_)) << "the updater should still be running";
}

}  // namespace
