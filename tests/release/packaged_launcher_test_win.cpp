// The launcher as a product team receives it: unpacked from the release
// package into a folder of its own, outside the build tree. The package
// check (check_package.sh) unpacks it and names the folder in
// TARROW_UNPACKED_RELEASE.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/launcher_driver_win.h"

namespace {

std::wstring UnpackedFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetEnvironmentVariableW(L"TARROW_UNPACKED_RELEASE", buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

std::string Narrow(const wchar_t* text) {
  std::string narrow;
  for (; *text != L'\0'; ++text) narrow.push_back(static_cast<char>(*text));
  return narrow;
}

}  // namespace

TEST(PackagedLauncher, VersionBlockIsTheProjectVersion) {
  const std::wstring launcher = UnpackedFolder() + L"\\tarrow-launcher.exe";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(launcher.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "no version block in the packaged launcher";
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(launcher.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::pair<DWORD, DWORD> numbers[] = {{fixed->dwFileVersionMS, fixed->dwFileVersionLS},
                                              {fixed->dwProductVersionMS, fixed->dwProductVersionLS}};
  for (const auto& [high, low] : numbers) {
    EXPECT_EQ(std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)),
              TARROW_PROJECT_VERSION);
  }
  for (const wchar_t* key : {L"\\StringFileInfo\\040904B0\\FileVersion", L"\\StringFileInfo\\040904B0\\ProductVersion"}) {
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&text), &length)) << Narrow(key);
    EXPECT_EQ(Narrow(text), TARROW_PROJECT_VERSION) << Narrow(key);
  }
}

// The updater command names the demo updater without a folder: the system
// finds it beside the launcher, as it finds a product's updater.
TEST(PackagedLauncher, RunsTheUpdaterBesideItAndClosesByItself) {
  const std::wstring folder = UnpackedFolder();
  ASSERT_FALSE(folder.empty()) << "TARROW_UNPACKED_RELEASE is not set";
  LauncherRun run(L"--updater-cmd \"demo-updater.exe happy\"", nullptr, folder);
  ASSERT_TRUE(run.started());
  ASSERT_NE(run.WaitForWindow(), nullptr);
  // The happy updater takes about 6 s, the window closes 1.4 s after "done".
  const std::optional<DWORD> code = run.WaitForExit(30000);
  ASSERT_TRUE(code.has_value()) << "the launcher did not close by itself";
  EXPECT_EQ(*code, 0u);
}
