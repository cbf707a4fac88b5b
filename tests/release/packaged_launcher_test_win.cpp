// The launcher as a product team receives it, signed: unpacked from the
// release package into a folder of its own, outside the build tree
// (check_package.sh unpacks it and names the folder in
// TARROW_UNPACKED_RELEASE).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/launcher_driver_win.h"

namespace {

std::wstring UnpackedFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetEnvironmentVariableW(L"TARROW_UNPACKED_RELEASE", buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

// The fixed and the text version are the project's, and the block names the
// product, its makers and the file completely.
TEST(PackagedLauncher, VersionBlockNamesTheProductAndTheProjectVersion) {
  const std::wstring launcher = UnpackedFolder() + L"\\tarrow-launcher.exe";
  std::vector<BYTE> block(GetFileVersionInfoSizeW(launcher.c_str(), nullptr));
  ASSERT_FALSE(block.empty()) << "no version block in the packaged launcher";
  ASSERT_TRUE(GetFileVersionInfoW(launcher.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  const std::wstring version = L"" TARROW_PROJECT_VERSION;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  for (const auto& [high, low] : {std::pair{fixed->dwFileVersionMS, fixed->dwFileVersionLS},
                                  std::pair{fixed->dwProductVersionMS, fixed->dwProductVersionLS}}) {
    EXPECT_EQ(std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." + std::to_wstring(HIWORD(low)),
              version);
  }
  for (const auto& [key, expected] :
       {std::pair<std::wstring, std::wstring>{L"ProductName", L"Tarrow Launcher"},
        {L"CompanyName", L"The Tarrow Launcher authors"}, {L"FileDescription", L"Tarrow Launcher update progress"},
        {L"OriginalFilename", L"tarrow-launcher.exe"},
        {L"LegalCopyright", L"Copyright (c) 2026 The Tarrow Launcher authors"}, {L"FileVersion", version},
        {L"ProductVersion", version}}) {
    wchar_t* text = nullptr;
    const std::wstring query = L"\\StringFileInfo\\040904B0\\" + key;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(std::wstring(text), expected);
  }
}

// The updater command names the demo updater without a folder: the system
// finds it beside the launcher, as it finds a product's updater. The happy
// updater takes about 6 s, the window closes 1.4 s after "done".
TEST(PackagedLauncher, RunsTheUpdaterBesideItAndClosesByItself) {
  ASSERT_FALSE(UnpackedFolder().empty()) << "TARROW_UNPACKED_RELEASE is not set";
  LauncherRun run(L"--updater-cmd \"demo-updater.exe happy\"", nullptr, UnpackedFolder());
  ASSERT_NE(run.WaitForWindow(), nullptr);
  EXPECT_EQ(run.WaitForExit(30000), std::optional<DWORD>(0)) << "the launcher did not close by itself";
}

}  // namespace
