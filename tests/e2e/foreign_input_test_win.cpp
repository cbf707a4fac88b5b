// Input the launcher does not trust, sent the way another program on the
// same desktop would: messages posted to its window, and the executable's own
// import table, which decides where the system looks for its libraries
// before any of its code runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/asset_files_win.h"
#include "tests/support/launcher_driver_win.h"

namespace {

constexpr UINT kLaunchEventMessage = WM_APP + 1;
constexpr LPARAM kJunk = 0x1234;

struct ForeignMessage {
  const char* name;
  UINT message;
  WPARAM wParam;
};

void PrintTo(const ForeignMessage& m, std::ostream* out) { *out << m.name; }

class ForeignMessageTest : public testing::TestWithParam<ForeignMessage> {
 protected:
  void SetUp() override { MakeTestProcessDpiAware(); }
};

// The window survives the message and still follows its input: a later
// progress line into the error state makes the button read Retry, which keeps
// the window open, and Escape then closes it with exit code 0.
TEST_P(ForeignMessageTest, LeavesTheWindowRunningAndAnswering) {
  LauncherInput input;
  ASSERT_TRUE(input.ok());
  LauncherRun run(L"", input.readEnd());
  input.ReleaseReadEnd();
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PostMessageW(window, GetParam().message, GetParam().wParam, kJunk));
  Sleep(kSettleMs);
  ASSERT_TRUE(run.Running()) << "the launcher ended";
  DWORD_PTR ignored = 0;
  ASSERT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored), 0) << "no answer";

  ASSERT_TRUE(input.Write("progress 0.4 ERROR Still listening\n"));
  Sleep(kSettleMs);
  PostClick(window, kButtonX, kButtonY);
  Sleep(kSettleMs);
  EXPECT_TRUE(run.WindowOpen()) << "the button closed the window: the line after the message was not applied";
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(
    Posted, ForeignMessageTest,
    testing::Values(ForeignMessage{"launchEventWithoutCookie", kLaunchEventMessage, 0},
                    ForeignMessage{"launchEventWithWrongCookie", kLaunchEventMessage, 0x5EC0DE5EC0DE},
                    ForeignMessage{"dpiChangedWithJunkRectangle", WM_DPICHANGED, MAKEWPARAM(144, 144)}),
    [](const testing::TestParamInfo<ForeignMessage>& param) { return std::string(param.param.name); });

// The exit code is 0 whenever the window ran, whatever a quit message says.
TEST(ForeignQuitTest, PostedQuitEndsTheRunWithExitCodeZero) {
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PostMessageW(window, WM_QUIT, 0x55, 0));
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// The DLL names of the static import table, read from the file itself.
std::vector<std::string> StaticImports(const std::string& image) {
  const auto at = [&](size_t offset, size_t size) { return offset <= image.size() && size <= image.size() - offset; };
  std::vector<std::string> names;
  IMAGE_DOS_HEADER dos{};
  if (!at(0, sizeof dos)) return names;
  std::memcpy(&dos, image.data(), sizeof dos);
  IMAGE_NT_HEADERS64 nt{};
  const auto ntOffset = static_cast<size_t>(dos.e_lfanew);
  if (dos.e_magic != IMAGE_DOS_SIGNATURE || !at(ntOffset, sizeof nt)) return names;
  std::memcpy(&nt, image.data() + ntOffset, sizeof nt);
  if (nt.Signature != IMAGE_NT_SIGNATURE || nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return names;
  const IMAGE_DATA_DIRECTORY imports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];

  std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
  const size_t sectionsOffset =
      ntOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
  if (!at(sectionsOffset, sections.size() * sizeof(IMAGE_SECTION_HEADER))) return names;
  std::memcpy(sections.data(), image.data() + sectionsOffset, sections.size() * sizeof(IMAGE_SECTION_HEADER));
  const auto fileOffset = [&](DWORD rva) -> std::optional<size_t> {
    for (const IMAGE_SECTION_HEADER& s : sections) {
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData)) {
        return static_cast<size_t>(s.PointerToRawData) + (rva - s.VirtualAddress);
      }
    }
    return std::nullopt;
  };

  std::optional<size_t> descriptor = fileOffset(imports.VirtualAddress);
  for (; descriptor && at(*descriptor, sizeof(IMAGE_IMPORT_DESCRIPTOR)); *descriptor += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR entry{};
    std::memcpy(&entry, image.data() + *descriptor, sizeof entry);
    if (entry.Name == 0) break;
    const std::optional<size_t> name = fileOffset(entry.Name);
    if (!name || !at(*name, 1)) {
      names.push_back("<unreadable>");
      continue;
    }
    names.emplace_back(image.c_str() + *name);
  }
  return names;
}

// Static imports are resolved before the launcher's first instruction, from
// its own folder first unless the system knows the DLL: only known DLLs may
// stand there. Anything else is loaded at run time from the system folder.
TEST(LauncherImportTableTest, ImportsOnlyKnownSystemDlls) {
  const std::string image = ReadFileBytes(ProgramFolder() + L"\\tarrow-launcher.exe");
  ASSERT_FALSE(image.empty());
  const std::vector<std::string> imports = StaticImports(image);
  ASSERT_FALSE(imports.empty()) << "no import table found";
  static const char* const kKnown[] = {"GDI32.dll",  "KERNEL32.dll", "SHELL32.dll", "USER32.dll",
                                       "gdiplus.dll", "msvcrt.dll",   "ole32.dll"};
  for (const std::string& name : imports) {
    EXPECT_TRUE(std::any_of(std::begin(kKnown), std::end(kKnown),
                            [&](const char* known) { return _stricmp(known, name.c_str()) == 0; }))
        << "static import of " << name;
  }
}

}  // namespace
