// The launcher fed by its updater or its standard input, as a separate
// process: lines apply in order, the last one needs no LF, fed lines are the
// launcher's alone, a failed or unstartable updater shows the error state,
// and "done" closes the window after its delay. What the window shows is read
// through its accessible object; the updater holds each state until the test
// has seen it.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "channel/utf8.h"
#include "tests/support/launcher_driver_win.h"

namespace {

TEST(LauncherChannelTest, UpdaterLinesShowInOrderAndItsLastLineClosesTheWindow) {
  const TempFile first, second;
  TempFile script("progress 0.3 DOWNLOAD First line\n" + first.WaitLine() + "progress 0.6 APPLY Second line\n" +
                  second.WaitLine() + "done");
  LauncherRun run(UpdaterCommand(L"--script " + QuoteArgument(script.path())));
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(run.WaitForStatus(L"First line")) << Describe(run.Texts());
  ASSERT_TRUE(first.Write());
  ASSERT_TRUE(run.WaitForStatus(L"Second line")) << Describe(run.Texts());
  ASSERT_TRUE(second.Write());
  EXPECT_EQ(run.WaitForExit(20000), std::optional<DWORD>(0)) << "done never ended the run";
}

// While the launcher reads its own standard input, its updater gets none of
// it: an updater echoing its input reads the end at once, and every fed line
// reaches the window.
TEST(LauncherChannelTest, FedLinesAreTheLaunchersAloneWhileItsUpdaterRuns) {
  TempFile script("echo-stdin\nprogress 0.5 DOWNLOAD Updater input ended\n");
  LauncherRun run(UpdaterCommand(L"--script " + QuoteArgument(script.path())), kFed);
  ASSERT_NE(run.WaitForWindow(), nullptr);
  EXPECT_TRUE(run.WaitForStatus(L"Updater input ended")) << "the updater reads on: " << Describe(run.Texts());
  for (const char* line : {"Fed line 1", "Fed line 2", "Fed line 3"}) {
    ASSERT_TRUE(run.Feed(std::string("progress 0.6 DOWNLOAD ") + line + "\n"));
    EXPECT_TRUE(run.WaitForStatus(Utf8ToWide(line))) << line << " was lost: " << Describe(run.Texts());
  }
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

// Standard input is read when it is a disk file; its last line needs no LF.
TEST(LauncherChannelTest, DiskFileOnStandardInputIsReadToItsEnd) {
  TempFile input("progress 0.5 APPLY From a file\ndone");
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  UniqueHandle file(CreateFileW(input.path().c_str(), GENERIC_READ, FILE_SHARE_READ, &inheritable, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
  LauncherRun run(L"", file.get());
  ASSERT_NE(run.WaitForWindow(), nullptr);
  EXPECT_EQ(run.WaitForExit(20000), std::optional<DWORD>(0)) << "the done line was not applied";
}

// From a pipe too: the window closes by itself, not before the close timer's
// 1.4 s have passed since the line was written.
TEST(LauncherChannelTest, DoneOnAPipeClosesTheWindowAfterItsDelay) {
  LauncherRun run(L"--state VERIFY", kFed);
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(run.Feed("progress 0.5 VERIFY Almost there\n"));
  ASSERT_TRUE(run.WaitForStatus(L"Almost there")) << Describe(run.Texts());
  const ULONGLONG doneWritten = GetTickCount64();
  ASSERT_TRUE(run.Feed("done"));
  run.EndInput();
  ASSERT_TRUE(WaitUntil([&] { return !run.WindowOpen(); }, 15000)) << "done never closed the window";
  EXPECT_GE(GetTickCount64() - doneWritten, 1350u) << "closed before the close timer";
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// Both failures leave the window open in the error state with their own
// text; Escape closes it with 0 even where the button would retry.
TEST(LauncherChannelTest, FailedUpdaterShowsWhyWithRetry) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {UpdaterCommand(L"silent --exit 3"), L"Updater process exited with code 3"},
      {L"--updater-cmd " + QuoteArgument(L"no-such-updater-4711.exe --fast"), L"Updater process start failed"}};
  for (const auto& [arguments, status] : cases) {
    LauncherRun run(arguments);
    ASSERT_NE(run.WaitForWindow(), nullptr);
    EXPECT_TRUE(run.WaitForTexts([&](const LauncherTexts& t) { return t.status == status && t.button == L"Retry"; }))
        << Describe(run.Texts());
    EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
  }
}

// A flood is applied line by line even though the window draws and tells
// screen readers only what a frame shows: the last line's state is the
// state, its percentage the one a reader gets. One error in the middle is
// overtaken by the lines after it.
TEST(LauncherChannelTest, FloodOfTwentyThousandLinesEndsInTheLastLinesState) {
  std::string flood;
  for (int line = 1; line <= 20000; ++line) {
    flood += line == 10000 ? "error Mirror lost\n"
                           : "progress 0." + std::to_string(line % 90 + 10) + " DOWNLOAD Line " + std::to_string(line) + "\n";
  }
  flood += "progress 0.5 APPLY Last of the flood\n";
  LauncherRun run(L"", kFed);
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(run.Feed(flood));
  EXPECT_TRUE(run.WaitForTexts([](const LauncherTexts& t) {
    return t.status == L"Last of the flood" && t.progress == L"Applying update" && t.percent == L"50%" &&
           t.button == L"Cancel";
  }, 60000)) << Describe(run.Texts());
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

}  // namespace
