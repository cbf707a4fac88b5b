// Background pictures and icons as the launcher loads them, observed through
// asset-probe.exe (no resources) and asset-probe-embedded.exe (the
// launcher's resources), each copied into a folder layout of the test's own
// and started with its own current directory:
//
//   <root>\app\bin\<probe>.exe   the executable's directory
//   <root>\work\cwd\             the current directory
//
// so the directories searched are app\bin, work\cwd, app and work, in order.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/win_owners_win.h"
#include "tests/support/asset_files_win.h"
#include "tests/support/process_runner_win.h"
#include "ui/assets_win.h"

namespace {

enum class Kind { Picture, Icon, Garbage, Folder };

// One file-system object of a layout. Pictures and icons are copies of the
// committed artwork; garbage is a file that decodes as nothing.
struct Entry {
  const wchar_t* path;
  Kind kind;
  const wchar_t* fixture = nullptr;  // default: tarrow-bg-v1.png or control.ico
};

bool Put(const TempTree& tree, const Entry& entry) {
  const std::wstring path = tree.Path(entry.path);
  if (entry.kind == Kind::Folder) return MakeFolders(path);
  if (!MakeFolders(path.substr(0, path.rfind(L'\\')))) return false;
  switch (entry.kind) {
    case Kind::Picture:
      return CopyFileW(AssetFixture(entry.fixture ? entry.fixture : L"tarrow-bg-v1.png").c_str(), path.c_str(), FALSE);
    case Kind::Icon:
      return CopyFileW(AssetFixture(entry.fixture ? entry.fixture : L"control.ico").c_str(), path.c_str(), FALSE);
    default:
      return WriteFileBytes(path, "this is not a picture");
  }
}

// A change to the copied probe's resources before it runs.
struct Edit {
  // Wine does not carry out deletions, so a resource is made unusable by
  // replacing its bytes.
  enum Action { Garbage, Truncated };
  WORD type;
  WORD id;
  Action action;
};

bool ApplyEdits(const std::wstring& exe, const std::vector<Edit>& edits) {
  if (edits.empty()) return true;
  // The signature and the first chunks of a real picture, cut short.
  const std::string truncated = ReadFileBytes(AssetFixture(L"tarrow-bg-v1.png")).substr(0, 100);
  std::vector<ResourceReplacement> replacements;
  for (const Edit& edit : edits) {
    replacements.push_back({edit.type, edit.id, edit.action == Edit::Garbage ? "this is not a picture" : truncated});
  }
  return truncated.size() == 100 && ReplaceResources(exe, std::move(replacements));
}

// Runs the probe and returns its "key=value" lines.
std::map<std::string, std::string> RunProbe(const std::wstring& exe, const std::wstring& profile,
                                            const std::wstring& currentDirectory) {
  std::map<std::string, std::string> report;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16)) return report;
  UniqueHandle reader(readEnd);
  UniqueHandle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  std::wstring commandLine = QuoteArgument(exe) + L" " + profile;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      currentDirectory.c_str(), &startup, &info)) {
    ADD_FAILURE() << "cannot start the probe, error " << GetLastError();
    return report;
  }
  UniqueHandle process(info.hProcess);
  CloseHandle(info.hThread);
  writer.reset();

  // The write end can outlive the probe (Wine starts its console host and
  // desktop process from the probe, and they inherit it), so end of file
  // never comes: wait for the exit, then take what the pipe holds. The
  // report is far smaller than the pipe's buffer.
  EXPECT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process.get(), &code);
  std::string output;
  char buffer[4096];
  DWORD available = 0;
  DWORD got = 0;
  while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
         ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    output.append(buffer, got);
  }
  EXPECT_EQ(code, 0u) << output;

  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (equals != std::string::npos) report[line.substr(0, equals)] = line.substr(equals + 1);
    start = end + 1;
  }
  return report;
}

std::string WithRoot(std::string text, const std::string& root) {
  for (size_t at = text.find("{root}"); at != std::string::npos; at = text.find("{root}", at + root.size())) {
    text.replace(at, 6, root);
  }
  return text;
}

struct LayoutCase {
  const char* name;
  const wchar_t* probe;
  const wchar_t* profile;
  std::vector<Entry> entries;
  std::vector<Edit> edits;
  // Expected report lines; "{root}" stands for the layout's root folder.
  std::vector<std::pair<std::string, std::string>> expected;
};

void RunLayout(const LayoutCase& layout) {
  TempTree tree;
  ASSERT_TRUE(tree.ok());
  for (const Entry& entry : layout.entries) ASSERT_TRUE(Put(tree, entry)) << Utf8(entry.path);
  ASSERT_TRUE(MakeFolders(tree.Path(L"app\\bin")));
  ASSERT_TRUE(MakeFolders(tree.Path(L"work\\cwd")));
  const std::wstring exe = tree.Path(std::wstring(L"app\\bin\\") + layout.probe);
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\" + layout.probe).c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(ApplyEdits(exe, layout.edits)) << "cannot change the probe's resources";

  const auto report = RunProbe(exe, layout.profile, tree.Path(L"work\\cwd"));
  const std::string root = Utf8(tree.root());
  for (const auto& [key, value] : layout.expected) {
    const auto found = report.find(key);
    ASSERT_NE(found, report.end()) << "the probe reported no " << key;
    EXPECT_EQ(found->second, WithRoot(value, root)) << key;
  }
}

const wchar_t* const kBare = L"asset-probe.exe";
const wchar_t* const kEmbedded = L"asset-probe-embedded.exe";

std::string CaseName(const testing::TestParamInfo<LayoutCase>& param) { return param.param.name; }

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const LayoutCase& layout, std::ostream* out) { *out << layout.name; }

class DiskSearchTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(DiskSearchTest, FindsAndLoadsTheFirstExistingFile) { RunLayout(GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Layouts, DiskSearchTest,
    testing::Values(
        LayoutCase{"NothingAnywhereLeavesBothNull", kBare, L"quenby", {}, {},
                   {{"module-directory", "{root}\\app\\bin"},
                    {"current-directory", "{root}\\work\\cwd"},
                    {"search", "{root}\\app\\bin|{root}\\work\\cwd|{root}\\app|{root}\\work"},
                    {"embedded-background", "none"},
                    {"background-file", ""},
                    {"background", "none"},
                    {"icon-file", ""},
                    {"icon", "none"}}},
        LayoutCase{"ExecutableDirectoryWinsOverBetterName",
                   kBare,
                   L"quenby",
                   {{L"app\\bin\\assets\\tarrow-bg-v1.png", Kind::Picture},
                    {L"work\\cwd\\assets\\quenby-bg-v1.png", Kind::Picture, L"quenby-bg-v1.png"}},
                   {},
                   {{"background-file", "{root}\\app\\bin\\assets\\tarrow-bg-v1.png"},
                    {"background", "800x400 pargb"}}},
        LayoutCase{"FirstCandidateWinsWithinADirectory",
                   kBare,
                   L"quenby",
                   {{L"work\\assets\\tarrow-bg-v1.png", Kind::Picture},
                    {L"work\\assets\\quenby-bg-v1.png", Kind::Picture, L"quenby-bg-v1.png"}},
                   {},
                   {{"background-file", "{root}\\work\\assets\\quenby-bg-v1.png"}, {"background", "800x400 pargb"}}},
        LayoutCase{"CurrentDirectoryBeforeParentOfExecutable",
                   kBare,
                   L"marlisk",
                   {{L"app\\control.ico", Kind::Icon}, {L"work\\cwd\\marl.ico", Kind::Icon, L"marlisk.ico"}},
                   {},
                   {{"icon-file", "{root}\\work\\cwd\\marl.ico"}, {"icon", "32x32"}}},
        LayoutCase{"UndecodableFirstHitEndsTheSearch",
                   kBare,
                   L"tarrow",
                   {{L"app\\bin\\assets\\tarrow-bg-v1.png", Kind::Garbage},
                    {L"work\\cwd\\assets\\tarrow-bg-v1.png", Kind::Picture},
                    {L"app\\bin\\control.ico", Kind::Garbage},
                    {L"work\\cwd\\control.ico", Kind::Icon}},
                   {},
                   {{"background-file", "{root}\\app\\bin\\assets\\tarrow-bg-v1.png"},
                    {"background", "none"},
                    {"icon-file", "{root}\\app\\bin\\control.ico"},
                    {"icon", "none"}}},
        LayoutCase{"FolderNamedLikeACandidateIsFoundAndLoadsNothing",
                   kBare,
                   L"tarrow",
                   {{L"app\\bin\\control.ico", Kind::Folder},
                    {L"work\\cwd\\control.ico", Kind::Icon},
                    {L"app\\bin\\assets\\tarrow-bg-v1.png", Kind::Folder},
                    {L"work\\cwd\\assets\\tarrow-bg-v1.png", Kind::Picture}},
                   {},
                   {{"icon-file", "{root}\\app\\bin\\control.ico"},
                    {"icon", "none"},
                    {"background-file", "{root}\\app\\bin\\assets\\tarrow-bg-v1.png"},
                    {"background", "none"}}}),
    CaseName);

class EmbeddedAssetTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(EmbeddedAssetTest, PrefersTheEmbeddedCopy) { RunLayout(GetParam()); }

// The decoys next to the executable would leave the picture or icon null if
// they were used; with the resources present they never are.
LayoutCase EmbeddedWithDecoys(const char* name, const wchar_t* profile, const wchar_t* picture,
                              const wchar_t* icon) {
  return LayoutCase{name,
                    kEmbedded,
                    profile,
                    {{picture, Kind::Garbage}, {icon, Kind::Garbage}},
                    {},
                    {{"embedded-background", "800x400 pargb"}, {"background", "800x400 pargb"}, {"icon", "32x32"}}};
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, EmbeddedAssetTest,
    testing::Values(
        EmbeddedWithDecoys("TarrowIgnoresFiles", L"tarrow", L"app\\bin\\assets\\tarrow-bg-v1.png",
                           L"app\\bin\\control.ico"),
        EmbeddedWithDecoys("QuenbyIgnoresFiles", L"quenby", L"app\\bin\\assets\\quenby-bg-v1.png",
                           L"app\\bin\\quenby.ico"),
        EmbeddedWithDecoys("MarliskIgnoresFiles", L"marlisk", L"app\\bin\\assets\\marlisk-bg-v1.png",
                           L"app\\bin\\marlisk.ico"),
        LayoutCase{"UndecodableEmbeddedPictureFallsBackToDisk",
                   kEmbedded,
                   L"tarrow",
                   {{L"work\\cwd\\assets\\tarrow-bg-v1.png", Kind::Picture}},
                   {{10, 201, Edit::Garbage}},
                   {{"embedded-background", "none"}, {"background", "800x400 pargb"}, {"icon", "32x32"}}},
        LayoutCase{"TruncatedEmbeddedPictureAndNoFileLeaveNoPicture",
                   kEmbedded,
                   L"tarrow",
                   {},
                   {{10, 201, Edit::Truncated}},
                   {{"embedded-background", "none"}, {"background", "none"}, {"icon", "32x32"}}},
        LayoutCase{"UnloadableEmbeddedIconFallsBackToDisk",
                   kEmbedded,
                   L"quenby",
                   {{L"work\\control.ico", Kind::Icon}},
                   {{14, 102, Edit::Garbage}},
                   {{"icon-file", "{root}\\work\\control.ico"}, {"icon", "32x32"}, {"background", "800x400 pargb"}}},
        LayoutCase{"UnloadableEmbeddedIconAndNoFileLeaveNoIcon",
                   kEmbedded,
                   L"marlisk",
                   {},
                   {{14, 103, Edit::Garbage}},
                   {{"icon", "none"}, {"background", "800x400 pargb"}}}),
    CaseName);

// An executable in a drive root: its directory and that directory's parent
// are the same root, kept as "C:\" (never "C:") and searched twice.
TEST(AssetSearchRootTest, DriveRootIsItsOwnParent) {
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 2u);
  const std::wstring root = std::wstring(windows, 3);  // "C:\"
  const std::wstring exe = root + L"tarrow-asset-probe-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  if (!CopyFileW((ProgramFolder() + L"\\" + kBare).c_str(), exe.c_str(), FALSE)) {
    GTEST_SKIP() << "the drive root is not writable here";
  }
  const auto report = RunProbe(exe, L"tarrow", root);
  DeleteFileW(exe.c_str());
  const std::string r = Utf8(root);
  EXPECT_EQ(report.at("module-directory"), r);
  EXPECT_EQ(report.at("search"), r + "|" + r + "|" + r + "|" + r);
}

// A current directory far beyond 260 characters is read whole, where the
// system lets a process have one. (Wine and Windows both refuse to start a
// program from such a folder, so the module path cannot be tried the same way.)
TEST(AssetSearchRootTest, LongCurrentDirectoryIsReadWhole) {
  TempTree tree;
  ASSERT_TRUE(tree.ok());
  std::wstring folder = tree.Path(L"work");
  while (folder.size() < 400) folder += L"\\a-rather-long-folder-name-for-the-current-directory";
  ASSERT_TRUE(MakeFolders(folder));
  const std::wstring previous = GetCurrentDirectoryPath();
  ASSERT_FALSE(previous.empty());
  if (!SetCurrentDirectoryW(folder.c_str())) GTEST_SKIP() << "no current directory longer than 260 here";
  const std::wstring read = GetCurrentDirectoryPath();
  SetCurrentDirectoryW(previous.c_str());
  EXPECT_EQ(read, folder);
}

}  // namespace
