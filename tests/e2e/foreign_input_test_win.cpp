// Input the launcher does not trust, sent the way another program on the
// same desktop would: messages posted to its window (the shell's taskbar
// announcement among them), and the executable's own import table, which
// decides where the system looks for its libraries before any of its code runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel/launch_message_win.h"
#include "tests/support/launcher_driver_win.h"

namespace {

// Each message (the launcher's own cross-thread ones forged without its
// cookie, so a forged button press would press Cancel) leaves the window
// running, answering and showing what it showed; lines fed afterwards (every kind the taskbar mirrors) still apply,
// and a posted quit ends the run with exit code 0 whatever it carries.
TEST(ForeignInputTest, PostedMessagesChangeNothingAndQuitEndsWithZero) {
  LauncherRun run(L"", kInputPipe);
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(run.WaitForTexts([](const LauncherTexts& t) { return t.percent == L"62%"; })) << Describe(run.Texts());
  const std::string shown = Describe(run.Texts());
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarButtonCreated");
  const struct {
    UINT message;
    WPARAM wParam;
  } posted[] = {{WM_LAUNCH_EVENT, 0}, {WM_LAUNCH_EVENT, 0x5EC0DE5EC0DE}, {WM_UPDATER_ENDED, 0},
                {WM_PRESS_BUTTON, 0}, {WM_DPICHANGED, MAKEWPARAM(144, 144)}, {taskbarCreated, 0}};
  for (const auto& [message, wParam] : posted) {
    ASSERT_TRUE(PostMessageW(window, message, wParam, 0x1234));
    Sleep(kSettleMs);
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored), 0) << "no answer to " << message;
    EXPECT_EQ(Describe(run.Texts()), shown) << "after message " << message;
  }
  EXPECT_EQ(WindowRectOf(window).right - WindowRectOf(window).left, 392);
  ASSERT_TRUE(run.Feed("progress 0.4 APPLY Patching\nprogress\ncancelled\nerror Still listening\n"));
  EXPECT_TRUE(run.WaitForTexts([](const LauncherTexts& t) { return t.status == L"Still listening"; }))
      << Describe(run.Texts());
  ASSERT_TRUE(PostMessageW(window, WM_QUIT, 0x55, 0));
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// The DLL names of the launcher's static import table, read from the file
// mapped as an image without running or resolving anything.
std::vector<std::string> StaticImports() {
  std::vector<std::string> names;
  const std::wstring path = ProgramFolder() + L"\\tarrow-launcher.exe";
  HMODULE image = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (image == nullptr) return names;
  const auto* base = reinterpret_cast<const BYTE*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); imports != 0 && entry->Name != 0;
       ++entry) {
    names.emplace_back(reinterpret_cast<const char*>(base + entry->Name));
  }
  FreeLibrary(image);
  return names;
}

// Static imports are resolved before the launcher's first instruction, from
// its own folder first unless the system knows the DLL: only known DLLs may
// stand there. Anything else is loaded at run time from the system folder.
TEST(LauncherImportTableTest, ImportsOnlyKnownSystemDlls) {
  const std::vector<std::string> imports = StaticImports();
  ASSERT_FALSE(imports.empty()) << "no import table found";
  const std::string known = ",gdi32.dll,kernel32.dll,shell32.dll,user32.dll,gdiplus.dll,msvcrt.dll,ole32.dll,";
  for (std::string name : imports) {
    for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(known.find("," + name + ","), std::string::npos) << "static import of " << name;
  }
}

}  // namespace
