// The background pictures and icons: what tarrow-launcher.exe carries, and
// how they are loaded, observed through asset-probe.exe (no resources) and
// asset-probe-embedded.exe (the launcher's resources), each copied into a
// folder layout of the test's own:
//
//   <root>\app\bin\<probe>.exe   the executable's directory
//   <root>\work\cwd\             the current directory
//
// so the directories searched are app\bin, work\cwd, app and work, in order.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "channel/utf8.h"
#include "tests/support/asset_files_win.h"
#include "ui/paint/asset_checks.h"  // LittleEndian, to read the icon directories

namespace {

// Each profile's picture is the very PNG of resources\assets, its icon group
// holds the seven images of its .ico file byte for byte, and the manifest
// runs the launcher as invoker, per-monitor aware, on Windows 10 and 11.
TEST(LauncherResourcesTest, CarriesThePicturesIconsAndManifest) {
  HMODULE module = LoadLibraryExW((ProgramFolder() + L"\\tarrow-launcher.exe").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr) << GetLastError();
  const struct {
    WORD picture;
    const wchar_t* pictureFile;
    WORD iconGroup;
    const wchar_t* iconFile;
  } profiles[] = {{201, L"tarrow-bg-v1.png", 101, L"control.ico"},
                  {202, L"quenby-bg-v1.png", 102, L"quenby.ico"},
                  {203, L"marlisk-bg-v1.png", 103, L"marlisk.ico"}};
  for (const auto& p : profiles) {
    SCOPED_TRACE(testing::Message() << "picture " << p.picture << ", icon group " << p.iconGroup);
    EXPECT_EQ(ResourceBytes(module, 10, p.picture), ReadFileBytes(AssetFixture(p.pictureFile)));
    const std::optional<std::string> group = ResourceBytes(module, 14, p.iconGroup);
    const std::string ico = ReadFileBytes(AssetFixture(p.iconFile));
    ASSERT_TRUE(group.has_value());
    ASSERT_EQ(LittleEndian(*group, 4, 2), 7u);
    ASSERT_EQ(LittleEndian(ico, 4, 2), 7u);
    for (size_t i = 0; i < 7; ++i) {
      const auto image = ResourceBytes(module, 3, static_cast<WORD>(LittleEndian(*group, 6 + 14 * i + 12, 2)));
      const size_t entry = 6 + 16 * i;
      EXPECT_EQ(image, ico.substr(LittleEndian(ico, entry + 12, 4), LittleEndian(ico, entry + 8, 4))) << "image " << i;
    }
  }
  const std::string manifest = ResourceBytes(module, 24, 1).value_or("");
  for (const char* needle :
       {"level=\"asInvoker\"", ">PerMonitorV2<", ">true/pm<", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_NE(manifest.find(needle), std::string::npos) << "the manifest lacks " << needle;
  }
  FreeLibrary(module);
}

// One folder layout: files (a folder where the bytes are nullopt), changes
// to the copied probe's resources, and the report lines expected, "{root}"
// standing for the layout's root folder.
struct Layout {
  const char* name;
  const wchar_t* probe;
  const wchar_t* profile;
  std::vector<std::pair<const wchar_t*, std::optional<std::string>>> files;
  std::vector<ResourceReplacement> edits;
  std::map<std::string, std::string> expected;
};

void RunLayout(const Layout& layout) {
  SCOPED_TRACE(layout.name);
  namespace fs = std::filesystem;
  TempTree tree;
  for (const auto& [path, bytes] : layout.files) {
    fs::create_directories(bytes ? fs::path(tree.Path(path)).parent_path() : fs::path(tree.Path(path)));
    if (bytes) {
      ASSERT_TRUE(WriteFileBytes(tree.Path(path), *bytes));
    }
  }
  fs::create_directories(tree.Path(L"app\\bin"));
  fs::create_directories(tree.Path(L"work\\cwd"));
  const std::wstring exe = tree.Path(std::wstring(L"app\\bin\\") + layout.probe);
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\" + layout.probe).c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(layout.edits.empty() || ReplaceResources(exe, layout.edits));

  const auto child = StartProgram(L"app\\bin\\" + std::wstring(layout.probe),
                                  QuoteArgument(layout.profile) + L" " + QuoteArgument(tree.Path(L"work\\cwd")) + L" " +
                                      QuoteArgument(tree.Path(L"report.txt")),
                                  nullptr, tree.root());
  ASSERT_TRUE(child.has_value());
  ASSERT_EQ(WaitForExitCode(*child, 30000), std::optional<DWORD>(0)) << "the probe failed or crashed";
  std::map<std::string, std::string> report;
  std::ifstream lines(fs::path(tree.Path(L"report.txt")));
  for (std::string line; std::getline(lines, line);) {
    report[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  }
  const std::string root = WideToUtf8(tree.root());
  for (auto [key, value] : layout.expected) {
    if (value.rfind("{root}", 0) == 0) value.replace(0, 6, root);
    EXPECT_EQ(report[key], value) << key;
  }
}

constexpr wchar_t kBare[] = L"asset-probe.exe";
constexpr wchar_t kEmbedded[] = L"asset-probe-embedded.exe";

std::string WithPngSize(std::string png, uint32_t width, uint32_t height) {
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
    png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
  }
  return png;
}

// An icon file of one PNG-compressed image.
std::string IcoAround(const std::string& png) {
  std::string ico("\0\0\1\0\1\0\0\0\0\0\1\0\x20\0", 14);
  for (uint32_t value : {static_cast<uint32_t>(png.size()), 22u}) {
    for (int i = 0; i < 4; ++i) ico += static_cast<char>(value >> (8 * i));
  }
  return ico + png;
}

// The disk search finds the first existing file and loads it, the embedded
// copy wins over any file, and a file that is not a sane asset (garbage, a
// folder, over 4 MiB, a picture declaring over 4096 pixels a side, an icon
// whose directory lies) is found, ends the search and loads as nothing,
// without harm to the process.
TEST(AssetLoadingTest, LoadsTheFirstFileFoundUnlessEmbeddedOrInsane) {
  const std::string picture = ReadFileBytes(AssetFixture(L"tarrow-bg-v1.png"));
  const std::string icon = ReadFileBytes(AssetFixture(L"control.ico"));
  const std::string huge = ReadFileBytes(ProgramFolder() + L"\\oversized-picture.png");  // 10,000 x 10,000
  ASSERT_GT(picture.size(), 1000u);
  ASSERT_GT(icon.size(), 1000u);
  ASSERT_GT(huge.size(), 1000u) << "oversized-picture.png is made at build time";
  const std::string garbage = "this is not a picture";
  const std::string padding(4 * 1024 * 1024, '\0');
  std::string lyingIcon = icon;
  lyingIcon[6 + 12 + 3] = '\x7F';  // the first image's offset far past the end
  std::string scrambled = picture;
  for (size_t i = 64; i < scrambled.size(); ++i) scrambled[i] ^= 0x5A;
  const wchar_t* const kPicture = L"app\\bin\\assets\\tarrow-bg-v1.png";
  const wchar_t* const kIcon = L"app\\bin\\control.ico";
  const std::map<std::string, std::string> nothing = {{"background", "none"}, {"icon", "none"}};
  const auto hostile = [&](const char* name, std::optional<std::string> p, std::optional<std::string> i,
                           std::map<std::string, std::string> expected) {
    return Layout{name, kBare, L"tarrow",
                  {{kPicture, std::move(p)}, {kIcon, std::move(i)}, {L"work\\cwd\\assets\\tarrow-bg-v1.png", picture},
                   {L"work\\cwd\\control.ico", icon}},
                  {}, std::move(expected)};
  };

  const Layout layouts[] = {
      {"nothing anywhere", kBare, L"quenby", {}, {},
       {{"background-file", ""}, {"icon-file", ""}, {"background", "none"}, {"icon", "none"}}},
      {"the executable's directory before a better name in the current one", kBare, L"quenby",
       {{L"app\\bin\\assets\\tarrow-bg-v1.png", picture}, {L"work\\cwd\\assets\\quenby-bg-v1.png", picture}}, {},
       {{"background-file", "{root}\\app\\bin\\assets\\tarrow-bg-v1.png"}, {"background", "800x400 pargb"}}},
      {"the current directory before the executable's parent", kBare, L"marlisk",
       {{L"app\\control.ico", icon}, {L"work\\cwd\\marl.ico", icon}}, {},
       {{"icon-file", "{root}\\work\\cwd\\marl.ico"}, {"icon", "32x32"}}},
      {"the first candidate in the parent of the current directory", kBare, L"quenby",
       {{L"work\\assets\\tarrow-bg-v1.png", picture}, {L"work\\assets\\quenby-bg-v1.png", picture}}, {},
       {{"background-file", "{root}\\work\\assets\\quenby-bg-v1.png"}, {"background", "800x400 pargb"}}},
      {"embedded copies before decoys", kEmbedded, L"tarrow", {{kPicture, garbage}, {kIcon, garbage}}, {},
       {{"background", "800x400 pargb"}, {"icon", "32x32"}}},
      {"unloadable embedded copies fall back to files", kEmbedded, L"quenby",
       {{L"work\\cwd\\assets\\quenby-bg-v1.png", picture}, {L"work\\control.ico", icon}},
       {{10, 202, garbage}, {14, 102, garbage}},
       {{"background", "800x400 pargb"}, {"icon-file", "{root}\\work\\control.ico"}, {"icon", "32x32"}}},
      hostile("garbage", garbage, garbage, nothing),
      hostile("folders", std::nullopt, std::nullopt,
              {{"background-file", "{root}\\app\\bin\\assets\\tarrow-bg-v1.png"},
               {"background", "none"}, {"icon", "none"}}),
      hostile("empty files", "", "", nothing),
      hostile("over 4 MiB", picture + padding, icon + padding, nothing),
      hostile("10,000 x 10,000 pixels", huge, IcoAround(huge), nothing),
      hostile("absurd and zero sizes", WithPngSize(picture, 0x7FFFFFFF, 0x7FFFFFFF), IcoAround(WithPngSize(picture, 0, 0)),
              nothing),
      hostile("cut short", picture.substr(0, 8), icon.substr(0, 6 + 16 * 3), nothing),
      hostile("a lying directory", picture.substr(0, picture.size() / 2), lyingIcon, {{"icon", "none"}}),
      hostile("scrambled data", scrambled, icon.substr(0, icon.size() / 2), {{"icon", "none"}}),
  };
  for (const Layout& layout : layouts) RunLayout(layout);
}

}  // namespace
