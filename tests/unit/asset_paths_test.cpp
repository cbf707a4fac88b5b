#include "ui/asset_paths.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

struct PathCase {
  const char* name;
  std::wstring input;
  std::wstring expected;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

class ParentDirectoryTest : public testing::TestWithParam<PathCase> {};

TEST_P(ParentDirectoryTest, CutsTheLastElement) { EXPECT_EQ(ParentDirectory(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ParentDirectoryTest,
    testing::Values(PathCase{"Nested", L"C:\\Apps\\Tarrow", L"C:\\Apps"},
                    PathCase{"ExecutableName", L"C:\\Apps\\Tarrow\\tarrow-launcher.exe", L"C:\\Apps\\Tarrow"},
                    PathCase{"ForwardSlashes", L"C:/Apps/Tarrow", L"C:/Apps"},
                    PathCase{"MixedSeparatorRun", L"C:\\Apps\\/\\Tarrow", L"C:\\Apps"},
                    PathCase{"TrailingSeparatorOnlyDropsIt", L"C:\\Apps\\Tarrow\\", L"C:\\Apps\\Tarrow"},
                    PathCase{"ChildOfDriveRootKeepsTheRoot", L"C:\\Tarrow", L"C:\\"},
                    PathCase{"DriveRootStays", L"C:\\", L"C:\\"},
                    PathCase{"BareDriveStays", L"C:", L"C:"},
                    PathCase{"DriveRelative", L"C:Tarrow", L"C:"},
                    PathCase{"RootedWithoutDrive", L"\\Tarrow", L"\\"},
                    PathCase{"BareName", L"Tarrow", L""},
                    PathCase{"Empty", L"", L""},
                    PathCase{"Relative", L"assets\\tarrow-bg-v1.png", L"assets"},
                    PathCase{"ShareRootStays", L"\\\\server\\share", L"\\\\server\\share"},
                    PathCase{"ChildOfShareKeepsTheShare", L"\\\\server\\share\\apps", L"\\\\server\\share\\"},
                    PathCase{"LongPathDriveRootStays", L"\\\\?\\C:\\", L"\\\\?\\C:\\"},
                    PathCase{"LongPathDrive", L"\\\\?\\C:\\Apps\\Tarrow", L"\\\\?\\C:\\Apps"},
                    PathCase{"LongPathShareRootStays", L"\\\\?\\UNC\\server\\share\\x",
                             L"\\\\?\\UNC\\server\\share\\"}),
    [](const testing::TestParamInfo<PathCase>& param) { return std::string(param.param.name); });

struct JoinCase {
  const char* name;
  std::wstring base;
  std::wstring candidate;
  std::wstring expected;
};

void PrintTo(const JoinCase& c, std::ostream* out) { *out << c.name; }

class JoinAssetPathTest : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinAssetPathTest, Joins) {
  EXPECT_EQ(JoinAssetPath(GetParam().base, GetParam().candidate), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinAssetPathTest,
    testing::Values(
        JoinCase{"OneBackslash", L"C:\\Apps", L"control.ico", L"C:\\Apps\\control.ico"},
        JoinCase{"SubfolderCandidate", L"C:\\Apps", L"assets\\quenby-bg-v1.png", L"C:\\Apps\\assets\\quenby-bg-v1.png"},
        JoinCase{"BaseEndsInBackslash", L"C:\\", L"control.ico", L"C:\\control.ico"},
        JoinCase{"BaseEndsInSlash", L"C:/Apps/", L"control.ico", L"C:/Apps/control.ico"},
        JoinCase{"BareDriveBase", L"C:", L"control.ico", L"C:control.ico"},
        JoinCase{"EmptyBase", L"", L"control.ico", L"control.ico"},
        JoinCase{"ShareBase", L"\\\\server\\share", L"control.ico", L"\\\\server\\share\\control.ico"},
        JoinCase{"RootedCandidateKeepsTheDrive", L"C:\\Apps", L"\\control.ico", L"C:\\control.ico"},
        JoinCase{"RootedCandidateKeepsTheShare", L"\\\\server\\share\\apps", L"\\x.ico", L"\\\\server\\share\\x.ico"},
        JoinCase{"FullCandidateReplaces", L"C:\\Apps", L"D:\\art\\x.ico", L"D:\\art\\x.ico"},
        JoinCase{"ShareCandidateReplaces", L"C:\\Apps", L"\\\\server\\x.ico", L"\\\\server\\x.ico"},
        JoinCase{"SameDriveRelativeJoins", L"C:\\Apps", L"c:x.ico", L"C:\\Apps\\x.ico"},
        JoinCase{"OtherDriveRelativeReplaces", L"C:\\Apps", L"D:x.ico", L"D:x.ico"}),
    [](const testing::TestParamInfo<JoinCase>& param) { return std::string(param.param.name); });

TEST(AssetSearchDirectoriesTest, ExecutableThenCurrentThenTheirParents) {
  EXPECT_EQ(AssetSearchDirectories(L"C:\\Apps\\Tarrow", L"D:\\Work"),
            (std::vector<std::wstring>{L"C:\\Apps\\Tarrow", L"D:\\Work", L"C:\\Apps", L"D:\\"}));
}

// A fake file system: the set of paths that exist, and every path asked.
struct FakeDisk {
  std::set<std::wstring> present;
  std::vector<std::wstring> asked;

  PathExists Probe() {
    return [this](const std::wstring& path) {
      asked.push_back(path);
      return present.count(path) != 0;
    };
  }
};

const std::vector<std::wstring> kQuenbyBackgrounds = {L"assets\\quenby-bg-v1.png", L"assets\\tarrow-bg-v1.png"};
const std::vector<std::wstring> kDirectories = {L"C:\\App", L"D:\\Work", L"C:\\", L"D:\\"};

struct SearchCase {
  const char* name;
  std::set<std::wstring> present;
  std::wstring expected;
};

void PrintTo(const SearchCase& c, std::ostream* out) { *out << c.name; }

class FindFirstExistingPathTest : public testing::TestWithParam<SearchCase> {};

TEST_P(FindFirstExistingPathTest, FindsInOrder) {
  FakeDisk disk{GetParam().present, {}};
  EXPECT_EQ(FindFirstExistingPath(kDirectories, kQuenbyBackgrounds, disk.Probe()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindFirstExistingPathTest,
    testing::Values(
        SearchCase{"NothingAnywhere", {}, L""},
        SearchCase{"DirectoryBeforeName",
                   {L"D:\\Work\\assets\\quenby-bg-v1.png", L"C:\\App\\assets\\tarrow-bg-v1.png"},
                   L"C:\\App\\assets\\tarrow-bg-v1.png"},
        SearchCase{"FirstCandidateWinsInOneDirectory",
                   {L"D:\\Work\\assets\\quenby-bg-v1.png", L"D:\\Work\\assets\\tarrow-bg-v1.png"},
                   L"D:\\Work\\assets\\quenby-bg-v1.png"},
        SearchCase{"CurrentBeforeParentOfExecutable",
                   {L"C:\\assets\\quenby-bg-v1.png", L"D:\\Work\\assets\\tarrow-bg-v1.png"},
                   L"D:\\Work\\assets\\tarrow-bg-v1.png"},
        SearchCase{"ParentOfCurrentLast", {L"D:\\assets\\tarrow-bg-v1.png"}, L"D:\\assets\\tarrow-bg-v1.png"}),
    [](const testing::TestParamInfo<SearchCase>& param) { return std::string(param.param.name); });

TEST(FindFirstExistingPathTest, AsksEveryPathOnceInOrderAndStopsAtTheFirstHit) {
  FakeDisk disk{{L"C:\\assets\\tarrow-bg-v1.png"}, {}};
  EXPECT_EQ(FindFirstExistingPath(kDirectories, kQuenbyBackgrounds, disk.Probe()), L"C:\\assets\\tarrow-bg-v1.png");
  EXPECT_EQ(disk.asked, (std::vector<std::wstring>{
                            L"C:\\App\\assets\\quenby-bg-v1.png", L"C:\\App\\assets\\tarrow-bg-v1.png",
                            L"D:\\Work\\assets\\quenby-bg-v1.png", L"D:\\Work\\assets\\tarrow-bg-v1.png",
                            L"C:\\assets\\quenby-bg-v1.png", L"C:\\assets\\tarrow-bg-v1.png"}));
}

TEST(FindFirstExistingPathTest, ExecutableInDriveRootSearchesTheRootTwice) {
  FakeDisk disk;
  EXPECT_EQ(FindFirstExistingPath(AssetSearchDirectories(L"C:\\", L"C:\\Work"), {L"control.ico"}, disk.Probe()),
            L"");
  EXPECT_EQ(disk.asked, (std::vector<std::wstring>{L"C:\\control.ico", L"C:\\Work\\control.ico", L"C:\\control.ico",
                                                   L"C:\\control.ico"}));
}

TEST(FindFirstExistingPathTest, NoCandidatesFindNothingAndAskNothing) {
  FakeDisk disk{{L"C:\\App"}, {}};
  EXPECT_EQ(FindFirstExistingPath(kDirectories, {}, disk.Probe()), L"");
  EXPECT_TRUE(disk.asked.empty());
}

}  // namespace
