// Launchers against what a broken or malicious environment hands them: a
// picture far too large beside the artwork-free launcher, 100 MB without an
// LF, an updater whose grandchild holds the pipe, an updater that outlives
// the launcher. Memory is judged by the peak working set against that of a
// launcher with nothing to load or read.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/asset_files_win.h"
#include "tests/support/launcher_driver_win.h"

namespace {

constexpr wchar_t kNoise[] = L"updater-noise.exe";
constexpr double kMegabyte = 1024.0 * 1024.0;

double PeakWorkingSetMb(DWORD processId) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  return PeakWorkingSetBytes(process.get()).value_or(0) / kMegabyte;
}

// tarrow-launcher-bare.exe (no embedded artwork), copied into a folder of its
// own, loads what lies beside it: nothing (the plain card's reference
// picture), the artwork (the launcher's own), or a valid 10,000 x 10,000
// picture, which is left undecoded (the plain card, no more memory than with
// nothing).
TEST(BareLauncher, OpensWithOrWithoutArtworkAndLeavesAHugePictureAlone) {
  const struct {
    const char* name;
    std::string picture;
    std::string icon;
    const char* reference;
  } cases[] = {{"no asset files", "", "", "paint-download-plain-100"},
               {"the artwork", ReadFileBytes(AssetFixture(L"tarrow-bg-v1.png")),
                ReadFileBytes(AssetFixture(L"control.ico")), "paint-download-100"},
               {"a 10,000 x 10,000 picture", ReadFileBytes(ProgramFolder() + L"\\oversized-picture.png"),
                "not an icon", "paint-download-plain-100"}};
  double plainPeak = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempTree tree;
    std::filesystem::create_directories(tree.Path(L"assets"));
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\tarrow-launcher-bare.exe").c_str(),
                          tree.Path(L"tarrow-launcher.exe").c_str(), FALSE));
    if (!c.picture.empty()) {
      ASSERT_TRUE(WriteFileBytes(tree.Path(L"assets\\tarrow-bg-v1.png"), c.picture));
      ASSERT_TRUE(WriteFileBytes(tree.Path(L"control.ico"), c.icon));
    }
    LauncherRun run(L"", nullptr, tree.root());
    ASSERT_NE(run.WaitForWindow(), nullptr);
    const int differing = PixelsDifferingFromReference(run.window(), c.reference);
    EXPECT_TRUE(MatchesReference(differing)) << differing << " pixels differ from " << c.reference;
    const double peak = PeakWorkingSetMb(run.processId());
    if (plainPeak == 0) plainPeak = peak;
    std::printf("peak working set with %s: %.1f MB\n", c.name, peak);
    EXPECT_LT(peak, plainPeak + 16);
    EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
  }
}

// An updater that writes 100 MB without an LF: the launcher reads it all,
// its peak working set stays within 16 MB of a launcher without an updater,
// and the window keeps answering.
TEST(HostileUpdater, HundredMegabytesWithoutALineFeedLeaveThePeakWorkingSetFlat) {
  double quietPeak = 0;
  {
    LauncherRun quiet(L"");
    ASSERT_NE(quiet.WaitForWindow(), nullptr);
    Sleep(1500);
    quietPeak = PeakWorkingSetMb(quiet.processId());
    EXPECT_EQ(quiet.CloseWithEscape(), std::optional<DWORD>(0));
  }
  LauncherRun flooded(UpdaterCommand(L"no-lf " + std::to_wstring(100 * 1024 * 1024), kNoise));
  ASSERT_NE(flooded.WaitForWindow(), nullptr);
  // A loaded machine needs far longer than an idle one.
  ASSERT_TRUE(WaitUntil([&] { return CountRunningChildren(flooded.processId(), kNoise) == 0; }, 240000))
      << "100 MB were not read within 240 s";
  Sleep(kSettleMs);
  const double peak = PeakWorkingSetMb(flooded.processId());
  std::printf("peak working set: %.1f MB without an updater, %.1f MB after 100 MB without an LF\n", quietPeak, peak);
  EXPECT_LT(peak, quietPeak + 16);
  DWORD_PTR ignored = 0;
  EXPECT_NE(SendMessageTimeoutW(flooded.window(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored), 0u);
  EXPECT_EQ(flooded.CloseWithEscape(), std::optional<DWORD>(0));
}

// The updater writes a line, hands its end of the pipe to a grandchild and
// exits with code 5. The exit-code report waits for the pipe to close: it
// shows only once the grandchild lets go. (Escape while a reader is blocked
// is the Retry test's last step.)
TEST(HostileUpdater, ExitCodeReportWaitsForThePipeToClose) {
  const std::wstring event = L"Local\\tarrow-robust-hold-" + std::to_wstring(GetCurrentProcessId());
  UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
  ASSERT_NE(release, nullptr);
  LauncherRun run(UpdaterCommand(L"grandchild " + event + L" 5", kNoise));
  ASSERT_NE(run.WaitForWindow(), nullptr);
  const std::wstring report = L"Updater process exited with code 5";
  ASSERT_TRUE(WaitUntil([&] { return CountRunningChildren(run.processId(), kNoise) == 0; }, 10000));
  EXPECT_FALSE(run.WaitForStatus(report, kSettleMs)) << "the report came before the pipe closed";
  SetEvent(release.get());
  EXPECT_TRUE(run.WaitForStatus(report)) << Describe(run.Texts());
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

// The updater inherits the pipe's write end and its standard input (the
// null device here: the launcher reads its own), nothing else: whoever reads the launcher's standard output to its end is not held
// up by an updater that outlives the launcher ("hang" runs for ten minutes).
TEST(HostileUpdater, LaunchersOutputEndsWhenTheLauncherExits) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
  UniqueHandle output(readEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  // The launcher's standard output is the test's own when it is given a
  // standard input, so the pipe stands in for it during the start.
  const HANDLE ownOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, writeEnd);
  LauncherRun run(UpdaterCommand(L"hang"), kInputPipe);
  SetStdHandle(STD_OUTPUT_HANDLE, ownOutput);
  CloseHandle(writeEnd);
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return CountRunningChildren(run.processId(), L"demo-updater.exe") == 1; }, 10000));

  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
  // A peek at a pipe whose writers are all gone fails.
  EXPECT_TRUE(WaitUntil([&] { return !PeekNamedPipe(output.get(), nullptr, 0, nullptr, nullptr, nullptr); }, 5000))
      << "the launcher's output stays open after it exited";
  EXPECT_EQ(TerminateRunningChildren(run.processId(), L"demo-updater.exe"), 1) << "the updater did not outlive it";
}

}  // namespace
