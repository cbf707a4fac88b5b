// The launcher fed by its updater or its standard input, as a separate
// process: lines apply in order, the last one needs no LF, a failed or
// unstartable updater shows the error state, and "done" closes the window
// after its delay. What the window shows is read through its accessible object.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/launcher_driver_win.h"

namespace {

TEST(LauncherChannelTest, UpdaterLinesShowInOrderAndItsLastLineClosesTheWindow) {
  TempFile script("progress 0.3 DOWNLOAD First line\nsleep 500\nprogress 0.6 APPLY Second line\nsleep 500\ndone");
  LauncherRun run(DemoUpdater(L"--script " + QuoteArgument(script.path())));
  ASSERT_NE(run.WaitForWindow(), nullptr);
  std::vector<std::wstring> seen;
  ASSERT_TRUE(WaitUntil([&] {
    const auto texts = run.Texts();
    if (texts && (seen.empty() || seen.back() != texts->status)) seen.push_back(texts->status);
    return !run.WindowOpen();
  }, 15000)) << "done never closed the window";
  const auto first = std::find(seen.begin(), seen.end(), L"First line");
  EXPECT_NE(std::find(first, seen.end(), L"Second line"), seen.end()) << "the lines did not show in order";
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
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
  EXPECT_TRUE(run.WaitForWindowClosed(10000)) << "the done line was not applied";
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// From a pipe too: the done look (the button reads Close) stands for the
// close timer's 1.4 s, then the window closes by itself.
TEST(LauncherChannelTest, DoneOnAPipeClosesTheWindowAfterItsDelay) {
  LauncherInput input;
  ASSERT_TRUE(input.ok());
  LauncherRun run(L"--state VERIFY", input.readEnd());
  input.ReleaseReadEnd();
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(input.Write("progress 0.5 VERIFY Almost there\n"));
  ASSERT_TRUE(run.WaitForStatus(L"Almost there")) << Describe(run.Texts());
  ASSERT_TRUE(input.Write("done"));
  input.Close();
  ASSERT_TRUE(run.WaitForTexts([](const LauncherTexts& t) { return t.button == L"Close"; }, 5000))
      << Describe(run.Texts());
  const ULONGLONG doneShown = GetTickCount64();
  ASSERT_TRUE(run.WaitForWindowClosed(5000));
  const ULONGLONG closedAfter = GetTickCount64() - doneShown;
  EXPECT_GE(closedAfter, 1200u) << "closed too early";
  EXPECT_LE(closedAfter, 2200u) << "closed too late";
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// Both failures leave the window open in the error state with their own text.
TEST(LauncherChannelTest, FailedUpdaterShowsWhyWithRetry) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {DemoUpdater(L"silent --exit 3"), L"Updater process exited with code 3"},
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
  LauncherInput input;
  ASSERT_TRUE(input.ok());
  LauncherRun run(L"", input.readEnd());
  input.ReleaseReadEnd();
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(input.Write(flood));
  EXPECT_TRUE(run.WaitForTexts([](const LauncherTexts& t) {
    return t.status == L"Last of the flood" && t.progress == L"Applying update" && t.percent == L"50%" &&
           t.button == L"Cancel";
  }, 60000)) << Describe(run.Texts());
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

}  // namespace
