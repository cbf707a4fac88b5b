#include "ui/paint/asset_paths.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(AssetPathsTest, ParentNeverCutsBelowTheRoot) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:\\Apps\\Tarrow\\x.exe", L"C:\\Apps\\Tarrow"}, {L"C:/Apps\\/\\Tarrow", L"C:/Apps"},
      {L"C:\\Apps\\Tarrow\\", L"C:\\Apps\\Tarrow"},      {L"C:\\Tarrow", L"C:\\"},
      {L"C:\\", L"C:\\"},                                {L"C:Tarrow", L"C:"},
      {L"Tarrow", L""},                                  {L"\\\\server\\share", L"\\\\server\\share"},
      {L"\\\\server\\share\\apps", L"\\\\server\\share\\"}, {L"\\\\?\\C:\\", L"\\\\?\\C:\\"},
      {L"\\\\?\\UNC\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\"}};
  for (const auto& [path, parent] : cases) EXPECT_EQ(ParentDirectory(path), parent) << path;
}

TEST(AssetPathsTest, JoinFollowsTheWindowsRulesForRootedCandidates) {
  const std::tuple<std::wstring, std::wstring, std::wstring> cases[] = {
      {L"C:\\Apps", L"assets\\x.png", L"C:\\Apps\\assets\\x.png"}, {L"C:/Apps/", L"x.ico", L"C:/Apps/x.ico"},
      {L"C:", L"x.ico", L"C:x.ico"},                               {L"", L"x.ico", L"x.ico"},
      {L"\\\\server\\share\\apps", L"\\x.ico", L"\\\\server\\share\\x.ico"},
      {L"C:\\Apps", L"D:\\art\\x.ico", L"D:\\art\\x.ico"},         {L"C:\\Apps", L"c:x.ico", L"C:\\Apps\\x.ico"},
      {L"C:\\Apps", L"D:x.ico", L"D:x.ico"}};
  for (const auto& [base, candidate, joined] : cases) EXPECT_EQ(JoinAssetPath(base, candidate), joined) << joined;
}

TEST(AssetPathsTest, SearchAsksDirectoryBeforeNameAndStopsAtTheFirstHit) {
  EXPECT_EQ(AssetSearchDirectories(L"C:\\App", L"D:\\Work"),
            (std::vector<std::wstring>{L"C:\\App", L"D:\\Work", L"C:\\", L"D:\\"}));
  const std::vector<std::wstring> candidates{L"assets\\q.png", L"assets\\t.png"};
  std::vector<std::wstring> asked;
  const std::set<std::wstring> present{L"C:\\assets\\t.png", L"D:\\assets\\q.png"};
  const std::wstring found = FindFirstExistingPath(AssetSearchDirectories(L"C:\\App", L"D:\\Work"), candidates,
                                                   [&](const std::wstring& path) {
                                                     asked.push_back(path);
                                                     return present.count(path) != 0;
                                                   });
  EXPECT_EQ(found, L"C:\\assets\\t.png");
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"C:\\App\\assets\\q.png", L"C:\\App\\assets\\t.png",
                                              L"D:\\Work\\assets\\q.png", L"D:\\Work\\assets\\t.png",
                                              L"C:\\assets\\q.png", L"C:\\assets\\t.png"}));
}

}  // namespace
