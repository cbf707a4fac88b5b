// The launcher fed by its updater or its standard input, as a separate
// process: lines apply in order, the last one needs no LF, fed lines are the
// launcher's alone, the updater hears a cancel (and the documented example
// stops on it), a failed or unstartable updater shows why, the exit code can
// tell the outcome, and "done" closes the window after its delay. What the
// window shows is read through its accessible object; the updater holds each
// state until the test has seen it.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "channel/utf8.h"
#include "tests/support/asset_files_win.h"
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

// Microseconds on the performance counter, which the updater reads too.
long long NowMicroseconds() {
  LARGE_INTEGER counter{}, frequency{};
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<long long>(static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart));
}

// The updater's standard input is the launcher's own pipe: lines fed to the
// launcher never reach it; Escape writes "cancel" there at once, and the
// launcher's end is the end of that input.
TEST(LauncherChannelTest, EscapeTellsTheUpdaterCancelAndThenTheEndOfItsInput) {
  const TempFile record;
  TempFile script("progress 0.5 DOWNLOAD Listening\nrecord-input " + WideToUtf8(record.path()) + "\n");
  LauncherRun run(UpdaterCommand(L"--script " + QuoteArgument(script.path())), kInputPipe);
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(run.WaitForStatus(L"Listening")) << Describe(run.Texts());
  ASSERT_TRUE(run.Feed("progress 0.6 DOWNLOAD Fed line\n"));
  ASSERT_TRUE(run.WaitForStatus(L"Fed line")) << Describe(run.Texts());
  const long long pressed = NowMicroseconds();
  PostKeyDown(run.window(), VK_ESCAPE);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
  std::string lines;
  ASSERT_TRUE(WaitUntil([&] { return (lines = ReadFileBytes(record.path())).find("<eof>") != std::string::npos; },
                        10000))
      << "the updater never saw the end of its input: " << lines;
  long long cancelAt = 0;
  char word[16] = {};
  ASSERT_EQ(std::sscanf(lines.c_str(), "%lld %15s", &cancelAt, word), 2) << lines;
  EXPECT_STREQ(word, "cancel") << "the updater's first line: " << lines;
  EXPECT_NE(lines.find(" <eof>\n", lines.find('\n')), std::string::npos) << "end of input after cancel: " << lines;
  // The figure itself (aimed at 100 ms) is scripts/bench's; a second means
  // the line waited for something.
  const long long latencyUs = cancelAt - pressed;
  std::printf("Escape to the updater's read of cancel: %.1f ms\n", static_cast<double>(latencyUs) / 1000.0);
  EXPECT_LT(latencyUs, 1000000) << "cancel reached the updater late";
}

// The updater docs/integrating.md shows stops its work on the cancel that
// Escape sends (or the end of input that follows it): without that it would
// hold its first step for ten minutes.
TEST(LauncherChannelTest, DocumentedExampleUpdaterEndsWhenTheUserCancels) {
  constexpr wchar_t kExample[] = L"example-updater.exe";
  LauncherRun run(L"--report-outcome " + UpdaterCommand(L"600000", kExample));
  const ScopeGuard endLeftover([&] { TerminateRunningChildren(run.processId(), kExample); });
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(run.WaitForTexts([](const LauncherTexts& t) { return t.progress == L"Connecting"; }))
      << Describe(run.Texts());
  ASSERT_EQ(CountRunningChildren(run.processId(), kExample), 1);
  PostKeyDown(run.window(), VK_ESCAPE);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(2)) << "not reported as cancelled";
  EXPECT_TRUE(WaitUntil([&] { return CountRunningChildren(run.processId(), kExample) == 0; }, 10000))
      << "the example kept working after the cancel";
}

// --report-outcome: 0 handed over, 2 cancelled before that, 3 closed while
// an error shows; every other launcher ends with 0.
TEST(LauncherChannelTest, ReportOutcomeTellsDoneCancelledAndFailedApart) {
  const struct {
    const char* lines;
    const wchar_t* shown;
    bool escape;
    std::optional<DWORD> code;
  } cases[] = {
      {"progress 0.5 APPLY Almost\ndone\n", nullptr, false, 0},
      {"progress 0.5 APPLY Almost\n", L"Almost", true, 2},
      {"error Mirror lost\n", L"Mirror lost", true, 3},
  };
  for (const auto& c : cases) {
    LauncherRun run(L"--report-outcome --state VERIFY", kInputPipe);
    ASSERT_NE(run.WaitForWindow(), nullptr);
    ASSERT_TRUE(run.Feed(c.lines));
    if (c.shown != nullptr) {
      ASSERT_TRUE(run.WaitForStatus(c.shown)) << Describe(run.Texts());
    }
    if (c.escape) PostKeyDown(run.window(), VK_ESCAPE);
    EXPECT_EQ(run.WaitForExit(20000), c.code) << c.lines;
  }
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
  LauncherRun run(L"--state VERIFY", kInputPipe);
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

// A failed updater leaves the window open in the error state, saying why
// (the system's code and words for a start that failed); Escape closes it
// with 0 even where the button would retry.
TEST(LauncherChannelTest, FailedUpdaterShowsWhyWithRetry) {
  const TempFile notAProgram("this is text, not a program\n");
  const std::wstring textAsProgram = notAProgram.path() + L".exe";
  ASSERT_TRUE(CopyFileW(notAProgram.path().c_str(), textAsProgram.c_str(), FALSE));
  const ScopeGuard removeCopy([&] { DeleteFileW(textAsProgram.c_str()); });
  // The exit code's text is whole; a start failure's goes on with the
  // system's words and ")".
  const struct {
    std::wstring arguments;
    std::wstring status;
    bool wordsFollow;
  } cases[] = {
      {UpdaterCommand(L"silent --exit 3"), L"Updater process exited with code 3", false},
      {L"--updater-cmd " + QuoteArgument(L"no-such-updater-4711.exe --fast"), L"Updater process start failed (error 2: ",
       true},
      {L"--updater-cmd " + QuoteArgument(QuoteArgument(textAsProgram)), L"Updater process start failed (error 193: ",
       true}};
  for (const auto& [arguments, status, wordsFollow] : cases) {
    LauncherRun run(arguments);
    ASSERT_NE(run.WaitForWindow(), nullptr);
    EXPECT_TRUE(run.WaitForTexts([&](const LauncherTexts& t) {
      const bool text = wordsFollow ? t.status.rfind(status, 0) == 0 && t.status.size() > status.size() + 1 &&
                                          t.status.back() == L')'
                                    : t.status == status;
      return text && t.button == L"Retry";
    })) << WideToUtf8(status) << ": " << Describe(run.Texts());
    EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
  }
}

// A program in a folder with spaces, with quoted arguments: the command
// line goes to the updater exactly as given.
TEST(LauncherChannelTest, SpacedPathAndQuotedArgumentsReachTheUpdaterExactly) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"Acme Tools " + std::to_wstring(GetCurrentProcessId());
  const std::wstring program = folder + L"\\update.exe";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const ScopeGuard removeFolder([&] {
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
  });
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\demo-updater.exe").c_str(), program.c_str(), FALSE));
  LauncherRun run(L"--updater-cmd " +
                  QuoteArgument(L"\"" + program + L"\" echo-args --channel \"beta 2\" --note \"say \\\"hi\\\"\""));
  ASSERT_NE(run.WaitForWindow(), nullptr);
  EXPECT_TRUE(run.WaitForStatus(L"--channel | beta 2 | --note | say \"hi\"")) << Describe(run.Texts());
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
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
  LauncherRun run(L"", kInputPipe);
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(run.Feed(flood));
  EXPECT_TRUE(run.WaitForTexts([](const LauncherTexts& t) {
    return t.status == L"Last of the flood" && t.progress == L"Applying update" && t.percent == L"50%" &&
           t.button == L"Cancel";
  }, 60000)) << Describe(run.Texts());
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

}  // namespace
