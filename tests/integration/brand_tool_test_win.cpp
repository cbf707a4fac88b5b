// tarrow-brand.exe as a product team runs it: on a copy of the built
// launcher, with the flat pictures made at build time (bin\brand-picture.png,
// 800 x 400, and bin\brand-picture@2x.png, 1600 x 800) and the launcher's own
// control.ico. What it writes is read back through the system: the module's
// resources and the version block's values.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "channel/utf8.h"
#include "tests/support/asset_files_win.h"
#include "ui/paint/asset_checks.h"

namespace {

// A value of a program's version block: a string's text (without its NUL) as
// UTF-16 bytes, any other value's bytes; "<none>" when there is no such value.
std::string VersionValue(const std::wstring& program, const std::wstring& query) {
  std::vector<BYTE> block(GetFileVersionInfoSizeW(program.c_str(), nullptr));
  void* value = nullptr;
  UINT length = 0;
  if (block.empty() || !GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
      !VerQueryValueW(block.data(), query.c_str(), &value, &length)) {
    return "<none>";
  }
  if (query.find(L"StringFileInfo") != std::wstring::npos) length = 2 * lstrlenW(static_cast<wchar_t*>(value));
  return std::string(static_cast<char*>(value), length);
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

// A brand tree: the pictures under art\, the icon, a copy of the launcher as
// in\tarrow-launcher.exe and an empty out\.
struct BrandTree {
  TempTree tree;
  std::wstring launcher = tree.Path(L"in\\tarrow-launcher.exe");

  BrandTree() {
    for (const wchar_t* folder : {L"art", L"in", L"out"}) std::filesystem::create_directories(tree.Path(folder));
    CopyFileW((ProgramFolder() + L"\\brand-picture.png").c_str(), tree.Path(L"art\\wide.png").c_str(), FALSE);
    CopyFileW((ProgramFolder() + L"\\brand-picture@2x.png").c_str(), tree.Path(L"art\\wide@2x.png").c_str(), FALSE);
    CopyFileW(AssetFixture(L"control.ico").c_str(), tree.Path(L"art\\app.ico").c_str(), FALSE);
    CopyFileW((ProgramFolder() + L"\\tarrow-launcher.exe").c_str(), launcher.c_str(), FALSE);
  }
  std::string Bytes(const wchar_t* relative) const { return ReadFileBytes(tree.Path(relative)); }
};

// A brand in Japanese with every key, an unknown one too: the copy carries
// the normalised text, both pictures, the icon group of the .ico's images
// and the name in its version block, the rest of which is the launcher's.
TEST(BrandToolTest, BrandsACopyOfTheLauncher) {
  BrandTree t;
  ASSERT_TRUE(WriteFileBytes(t.tree.Path(L"brand.ini"),
                             "\xEF\xBB\xBF# Kitakaze\r\nname = \xE5\x8C\x97\xE9\xA2\xA8 \xE3\x83\xA9\xE3\x83\xB3\r\n"
                             "badge = \xE5\x8C\x97\r\nheader = Ready when you are\r\naccent = #1e6fd9\r\n"
                             "accent-end = #D96F1E\r\ntheme = Light\r\ncolour = red\r\npicture = art/wide.png\r\n"
                             "picture@2x = art\\wide@2x.png\r\nicon = art/app.ico\r\n"));
  const std::wstring out = t.tree.Path(L"out\\Kitakaze.exe");
  const ProgramRun run = RunProgram(L"tarrow-brand.exe", {t.tree.Path(L"brand.ini"), t.launcher, out});
  ASSERT_EQ(run.exitCode, std::optional<DWORD>(0)) << run.output;
  EXPECT_NE(run.output.find("warning: " + WideToUtf8(t.tree.Path(L"brand.ini")) + ": line 8: colour: unknown key"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(FilesIn(t.tree.Path(L"out")), std::vector<std::wstring>{L"Kitakaze.exe"});

  HMODULE module = LoadLibraryExW(out.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr) << GetLastError();
  EXPECT_EQ(ResourceBytes(module, 10, 220),
            "name = \xE5\x8C\x97\xE9\xA2\xA8 \xE3\x83\xA9\xE3\x83\xB3\nbadge = \xE5\x8C\x97\n"
            "header = Ready when you are\naccent = #1E6FD9\naccent-end = #D96F1E\ntheme = light\n");
  EXPECT_EQ(ResourceBytes(module, 10, 221), t.Bytes(L"art\\wide.png"));
  EXPECT_EQ(ResourceBytes(module, 10, 222), t.Bytes(L"art\\wide@2x.png"));
  const std::string ico = t.Bytes(L"art\\app.ico");
  const std::string group = ResourceBytes(module, 14, 100).value_or("");
  ASSERT_EQ(group.size(), 6 + 14 * 7u);
  EXPECT_EQ(group.substr(0, 6), ico.substr(0, 6));
  for (size_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(testing::Message() << "image " << i);
    const size_t entry = 6 + 16 * i;
    EXPECT_EQ(group.substr(6 + 14 * i, 12), ico.substr(entry, 12));
    EXPECT_EQ(LittleEndian(group, 6 + 14 * i + 12, 2), 1001 + i);
    EXPECT_EQ(ResourceBytes(module, 3, static_cast<WORD>(1001 + i)),
              ico.substr(LittleEndian(ico, entry + 12, 4), LittleEndian(ico, entry + 8, 4)));
  }
  FreeLibrary(module);

  const std::wstring name = L"\u5317\u98A8 \u30E9\u30F3", strings = L"\\StringFileInfo\\040904B0\\";
  for (const wchar_t* key : {L"ProductName", L"FileDescription"}) {
    EXPECT_EQ(VersionValue(out, strings + key),
              std::string(reinterpret_cast<const char*>(name.data()), 2 * name.size()));
  }
  for (const std::wstring& query :
       {std::wstring(L"\\"), std::wstring(L"\\VarFileInfo\\Translation"), strings + L"CompanyName",
        strings + L"FileVersion", strings + L"InternalName", strings + L"LegalCopyright", strings + L"OriginalFilename",
        strings + L"ProductVersion"}) {
    EXPECT_EQ(VersionValue(out, query), VersionValue(t.launcher, query)) << query;
  }
}

// Each bad input: one line naming the file and what is wrong, its exit code,
// nothing written (no copy, no temporary file, also when the copy was made
// but cannot take OUT's place) and the launcher untouched.
TEST(BrandToolTest, RefusesBadInputsWritingNothing) {
  BrandTree t;
  const std::string launcherBytes = ReadFileBytes(t.launcher);
  ASSERT_TRUE(WriteFileBytes(t.tree.Path(L"art\\huge.png"), t.Bytes(L"art\\wide.png") + std::string(4 << 20, '\0')));
  // A launcher that carries a brand already (made by a run that, like every
  // run here, leaves the launcher as it was).
  ASSERT_TRUE(WriteFileBytes(t.tree.Path(L"plain.ini"), "name = Plain\n"));
  const std::wstring branded = t.tree.Path(L"in\\branded.exe");
  ASSERT_EQ(RunProgram(L"tarrow-brand.exe", {t.tree.Path(L"plain.ini"), t.launcher, branded}).exitCode,
            std::optional<DWORD>(0));

  std::filesystem::create_directories(t.tree.Path(L"out\\taken"));
  const std::wstring brand = t.tree.Path(L"brand.ini");
  const std::wstring out = t.tree.Path(L"out\\branded.exe");
  const std::string ini = WideToUtf8(brand) + ": ";
  const std::string huge = std::to_string(t.Bytes(L"art\\huge.png").size());
  const std::vector<std::wstring> usual = {brand, t.launcher, out};
  const struct {
    const char* label;
    std::string text;  // of brand.ini
    std::vector<std::wstring> arguments;
    DWORD exitCode;
    std::string message;
  } cases[] = {
      {"no brand file", "", {t.tree.Path(L"none.ini"), t.launcher, out}, 1, "none.ini: cannot be read: "},
      {"a picture that is missing", "name = A\npicture = art/none.png", usual, 1,
       ini + "line 2: picture: \"art/none.png\" cannot be read: "},
      {"a picture that is not a PNG", "name = A\npicture = art/app.ico", usual, 1,
       ini + "line 2: picture: \"art/app.ico\" is not a PNG picture"},
      {"a 1x picture at 2x", "name = A\npicture = art/wide.png\npicture@2x = art/wide.png", usual, 1,
       ini + "line 3: picture@2x: \"art/wide.png\" is 800 x 400 pixels, not 1600 x 800 pixels"},
      {"a picture over the caps", "name = A\npicture = art/huge.png", usual, 1,
       ini + "line 2: picture: \"art/huge.png\" is " + huge + " bytes; a picture has at most 4194304 (4 MiB)"},
      {"an icon that is not an .ico", "name = A\nicon = art/wide.png", usual, 1,
       ini + "line 2: icon: \"art/wide.png\" is not an .ico file"},
      {"errors in the text, the first one told", "name = A\nbadge = ABC\naccent = #12345", usual, 1,
       ini + "line 2: badge: \"ABC\" is more than 2 characters"},
      {"an IN that is not a launcher", "name = A", {brand, ProgramFolder() + L"\\demo-updater.exe", out}, 1,
       "demo-updater.exe: has no version block naming its file, so it is not a launcher"},
      {"an IN that is no program", "name = A", {brand, brand, out}, 1, ini + "is not a program file"},
      {"a launcher with a brand", "name = A", {brand, branded, out}, 1, "branded.exe: already carries a brand"},
      {"an OUT in no folder", "name = A", {brand, t.launcher, t.tree.Path(L"none\\branded.exe")}, 1,
       "branded.exe: cannot be written: "},
      {"an OUT that is a folder", "name = A", {brand, t.launcher, t.tree.Path(L"out\\taken")}, 1,
       "taken: cannot be written: "},
      {"OUT is IN", "name = A", {brand, t.launcher, t.launcher}, 2, "tarrow-launcher.exe: is IN itself"},
      {"two arguments", "name = A", {brand, t.launcher}, 2, "usage: tarrow-brand.exe BRAND-FILE IN.exe OUT.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ASSERT_TRUE(WriteFileBytes(brand, c.text));
    const ProgramRun run = RunProgram(L"tarrow-brand.exe", c.arguments);
    EXPECT_EQ(run.exitCode, std::optional<DWORD>(c.exitCode));
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    EXPECT_EQ(FilesIn(t.tree.Path(L"out")), std::vector<std::wstring>{L"taken"});
  }
  EXPECT_EQ(ReadFileBytes(t.launcher), launcherBytes) << "the launcher changed";
}

}  // namespace
