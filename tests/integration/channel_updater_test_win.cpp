// The updater child and its reader, end to end inside the test process:
// demo-updater.exe writes the lines, a hidden test window receives the events.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/win_owners_win.h"
#include "channel/stdin_reader_win.h"
#include "channel/updater_process_win.h"
#include "tests/integration/channel_event_window_win.h"
#include "tests/support/process_runner_win.h"

namespace {

constexpr DWORD kWaitMs = 15000;

bool StartDemo(EventWindow& window, const std::wstring& arguments) {
  return StartUpdater(DemoUpdaterCommand(arguments), window.handle()) == UpdaterStartResult::Started;
}

// Runs demo-updater.exe until its reader has ended, which is when the reader
// has closed the pipe's read end and the process handle.
bool RunDemoToTheEnd(EventWindow& window, const std::wstring& arguments) {
  const HandleCensus before = TakeHandleCensus();
  if (!StartDemo(window, arguments)) return false;
  if (!window.PumpUntil([&] { return TakeHandleCensus() == before; }, kWaitMs)) return false;
  window.PumpFor(20);
  return true;
}

bool EndsWith(const std::vector<LaunchEvent>& events, std::wstring_view kind) {
  return !events.empty() && events.back().kind == kind;
}

struct ExitCase {
  const char* name;
  const wchar_t* exitArgument;
  std::vector<std::wstring> events;
};

class UpdaterExitCodeTest : public testing::TestWithParam<ExitCase> {};

TEST_P(UpdaterExitCodeTest, SilentUpdaterReportsOnlyANonZeroCode) {
  EventWindow window;
  ASSERT_TRUE(RunDemoToTheEnd(window, std::wstring(L"silent --exit ") + GetParam().exitArgument));
  EXPECT_EQ(Summaries(window.events()), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, UpdaterExitCodeTest,
    testing::Values(ExitCase{"Zero", L"0", {}},
                    ExitCase{"Two", L"2", {L"error||Updater process exited with code 2"}},
                    ExitCase{"MinusOne", L"-1", {L"error||Updater process exited with code 4294967295"}},
                    ExitCase{"AccessViolation", L"0xC0000005", {L"error||Updater process exited with code 3221225477"}}),
    [](const testing::TestParamInfo<ExitCase>& param) { return std::string(param.param.name); });

struct ScriptCase {
  const char* name;
  std::string script;
  std::vector<std::wstring> events;
};

class UpdaterScriptTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(UpdaterScriptTest, LinesOfTheUpdaterArriveWhole) {
  TempFile script(GetParam().script);
  EventWindow window;
  ASSERT_TRUE(RunDemoToTheEnd(window, L"--script " + QuoteArgument(script.path())));
  EXPECT_EQ(Summaries(window.events()), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, UpdaterScriptTest,
    testing::Values(
        ScriptCase{"CrlfLines",
                   "status Checking\r\nprogress 0.5 DOWNLOAD 1.0 MB / 2.0 MB\r\n",
                   {L"status||Checking", L"progress|DOWNLOAD|1.0 MB / 2.0 MB"}},
        ScriptCase{"LastLineWithoutLf", "status first\ndone", {L"status||first", L"done||"}},
        ScriptCase{"SleepLinesAreNotPrinted", "status a\nsleep 30\nstatus b\n", {L"status||a", L"status||b"}}),
    [](const testing::TestParamInfo<ScriptCase>& param) { return std::string(param.param.name); });

struct BadCommandCase {
  const char* name;
  const wchar_t* command;
};

class UpdaterStartFailureTest : public testing::TestWithParam<BadCommandCase> {};

TEST_P(UpdaterStartFailureTest, CommandNamingNoProgramFailsAndClosesBothPipeEnds) {
  EventWindow window;
  const HandleCensus before = TakeHandleCensus();
  EXPECT_EQ(StartUpdater(GetParam().command, window.handle()), UpdaterStartResult::ProcessFailed);
  EXPECT_EQ(TakeHandleCensus(), before);
  window.PumpFor(50);
  EXPECT_TRUE(window.events().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UpdaterStartFailureTest,
    testing::Values(BadCommandCase{"NoSuchProgram", L"no-such-updater-7d1f.exe --quiet"},
                    BadCommandCase{"NoSuchFolder", L"C:\\no\\such\\folder\\demo-updater.exe happy"},
                    BadCommandCase{"EmptyQuotedName", L"\"\" happy"}),
    [](const testing::TestParamInfo<BadCommandCase>& param) { return std::string(param.param.name); });

TEST(UpdaterTest, UpdaterThatClosesItsOutputAndRunsOnKeepsItsReaderWaiting) {
  EventWindow window;
  window.StartTicking();
  ASSERT_TRUE(StartDemo(window, L"hang"));
  ASSERT_TRUE(window.WaitForEvents(1, kWaitMs));
  EXPECT_EQ(window.events()[0].kind, L"status");
  const size_t ticks = window.ticks();
  window.PumpFor(1000);
  EXPECT_EQ(window.events().size(), 1u) << "no exit report while the updater runs";
  EXPECT_GE(window.ticks() - ticks, 5u) << "the window thread must not wait for the updater";
  // The reader is still there: once the updater ends, its exit code is reported.
  ASSERT_EQ(TerminateDemoUpdatersOf(GetCurrentProcessId()), 1);
  ASSERT_TRUE(window.WaitForEvents(2, kWaitMs));
  EXPECT_EQ(Summary(window.events()[1]), L"error||Updater process exited with code 9");
}

TEST(UpdaterTest, FloodArrivesCompleteAndInOrderWithNothingLeftBehind) {
  constexpr size_t kLines = 100000;
  EventWindow window;
  const HandleCensus before = TakeHandleCensus();
  ASSERT_TRUE(StartDemo(window, L"flood " + std::to_wstring(kLines)));
  ASSERT_TRUE(window.PumpUntil([&] { return EndsWith(window.events(), L"done"); }, 90000));
  ASSERT_TRUE(window.PumpUntil([&] { return TakeHandleCensus() == before; }, kWaitMs));
  window.PumpFor(50);

  // Every event the reader posted was taken (and freed) by the window, once.
  const std::vector<LaunchEvent>& events = window.events();
  ASSERT_EQ(events.size(), kLines + 1);
  size_t misplaced = 0;
  for (size_t i = 0; i < kLines; ++i) {
    const std::wstring expected = L"Block " + std::to_wstring(i + 1) + L" of " + std::to_wstring(kLines);
    if (events[i].kind != L"progress" || events[i].detail != expected) ++misplaced;
  }
  EXPECT_EQ(misplaced, 0u);
  EXPECT_EQ(events.back().kind, L"done");
  EXPECT_EQ(DiscardQueuedLaunchEvents(), 0u);
}

TEST(UpdaterTest, EventsOfBothReadersInterleave) {
  TempFile script("status U1\nsleep 300\nstatus U2\nsleep 300\nstatus U3\n");
  // Standard input as a feeding process would pass it: an inheritable read
  // end (the updater child gets it too) and a private write end.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE r = nullptr;
  HANDLE w = nullptr;
  ASSERT_TRUE(CreatePipe(&r, &w, &inheritable, 0));
  UniqueHandle readEnd(r);
  UniqueHandle writeEnd(w);
  SetHandleInformation(w, HANDLE_FLAG_INHERIT, 0);

  EventWindow window;
  const HANDLE savedInput = GetStdHandle(STD_INPUT_HANDLE);
  SetStdHandle(STD_INPUT_HANDLE, r);
  StartStdinReader(window.handle());
  const bool started = StartDemo(window, L"--script " + QuoteArgument(script.path()));
  SetStdHandle(STD_INPUT_HANDLE, savedInput);
  ASSERT_TRUE(started);

  ASSERT_TRUE(window.WaitForEvents(1, kWaitMs));
  std::thread feeder([w = std::move(writeEnd)]() mutable {
    for (const char* line : {"status S1\n", "status S2\n", "status S3\n"}) {
      DWORD written = 0;
      WriteFile(w.get(), line, 10, &written, nullptr);
      Sleep(300);
    }
    w.reset();
  });
  const bool complete = window.WaitForEvents(6, kWaitMs);
  feeder.join();
  ASSERT_TRUE(complete);
  window.PumpFor(100);

  std::vector<std::wstring> fromUpdater;
  std::vector<std::wstring> fromInput;
  std::wstring order;
  for (const LaunchEvent& e : window.events()) {
    (e.detail[0] == L'U' ? fromUpdater : fromInput).push_back(e.detail);
    order += e.detail[0];
  }
  EXPECT_EQ(fromUpdater, (std::vector<std::wstring>{L"U1", L"U2", L"U3"}));
  EXPECT_EQ(fromInput, (std::vector<std::wstring>{L"S1", L"S2", L"S3"}));
  EXPECT_NE(order, L"UUUSSS") << "the sources must interleave";
}

TEST(DemoUpdaterTest, HappyScenarioWalksEveryStepToDone) {
  EventWindow window;
  ASSERT_TRUE(RunDemoToTheEnd(window, L"happy"));
  const std::vector<LaunchEvent>& events = window.events();
  ASSERT_TRUE(EndsWith(events, L"done")) << "no exit report after a clean exit";
  std::vector<std::wstring> steps;
  double last = 0.0;
  bool sawTransferAmount = false;
  for (const LaunchEvent& e : events) {
    if (e.kind != L"progress") continue;
    if (steps.empty() || steps.back() != e.caption) steps.push_back(e.caption);
    ASSERT_TRUE(e.value.has_value());
    EXPECT_GE(*e.value, last);
    last = *e.value;
    sawTransferAmount = sawTransferAmount || e.detail == L"12.4 MB / 20.0 MB";
  }
  EXPECT_EQ(steps, (std::vector<std::wstring>{L"LINK", L"MANIFEST", L"VERIFY", L"SCAN", L"DOWNLOAD", L"APPLY",
                                              L"LAUNCH"}));
  EXPECT_TRUE(sawTransferAmount);
}

TEST(DemoUpdaterTest, FailScenarioReportsItsErrorThenExitCodeTwo) {
  EventWindow window;
  ASSERT_TRUE(RunDemoToTheEnd(window, L"fail"));
  const std::vector<LaunchEvent>& events = window.events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front().caption, L"LINK");
  const LaunchEvent& error = events[events.size() - 2];
  EXPECT_EQ(error.kind, L"error");
  EXPECT_NE(error.detail.find(L"Download interrupted"), std::wstring::npos);
  EXPECT_EQ(events.back().detail, L"Updater process exited with code 2");
}

TEST(DemoUpdaterTest, UnknownScenarioIsReportedAsAnErrorLine) {
  EventWindow window;
  ASSERT_TRUE(RunDemoToTheEnd(window, L"bogus"));
  const std::vector<LaunchEvent>& events = window.events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, L"error");
  EXPECT_EQ(events[0].detail.rfind(L"demo-updater: unknown scenario 'bogus'", 0), 0u);
  EXPECT_EQ(Summary(events[1]), L"error||Updater process exited with code 64");
}

struct ProbeCase {
  const char* name;
  const wchar_t* scenario;
};

class ClosingTest : public testing::TestWithParam<ProbeCase> {};

TEST_P(ClosingTest, ProcessEndsAtOnceWhileItsUpdaterRunsOn) {
  auto probe = StartProgram(L"channel-exit-probe.exe", QuoteArgument(DemoUpdaterCommand(GetParam().scenario)));
  ASSERT_TRUE(probe.has_value());
  const std::optional<DWORD> code = WaitForExitCode(*probe, kWaitMs);
  if (!code) TerminateProcess(probe->process.get(), 1);
  const int stillRunning = TerminateDemoUpdatersOf(probe->id);
  ASSERT_TRUE(code.has_value()) << "the process waited for its updater";
  EXPECT_EQ(*code, 0u);
  EXPECT_EQ(stillRunning, 1) << "the updater is never waited for nor terminated";
}

INSTANTIATE_TEST_SUITE_P(Readers, ClosingTest,
                         testing::Values(ProbeCase{"ReaderWaitingForTheProcess", L"hang"},
                                         ProbeCase{"ReaderBlockedInARead", L"stall"}),
                         [](const testing::TestParamInfo<ProbeCase>& param) { return std::string(param.param.name); });

}  // namespace
