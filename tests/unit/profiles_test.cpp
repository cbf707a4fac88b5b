#include "state/profiles.h"
#include "base/text.h"
#include "state/titles.h"

#include <gtest/gtest.h>

namespace {

TEST(FoldKeyTest, KeepsOnlyLowerLettersAndDigits) {
  EXPECT_EQ(FoldKey(L"Quenby.EXE"), L"quenbyexe");
  EXPECT_EQ(FoldKey(L"C:\\Tools\\q b"), L"ctoolsqb");
  EXPECT_EQ(FoldKey(L"Caf\u00e9 9"), L"caf9");
  EXPECT_EQ(FoldKey(L""), L"");
}

struct LookupCase {
  std::wstring name;
  std::wstring key;
};

class FindProfileTest : public testing::TestWithParam<LookupCase> {};

TEST_P(FindProfileTest, PicksRow) { EXPECT_EQ(FindProfile(GetParam().name).key, GetParam().key); }

INSTANTIATE_TEST_SUITE_P(Names, FindProfileTest,
                         testing::Values(LookupCase{L"", L"tarrow"}, LookupCase{L"Tarrow Preview", L"tarrow"},
                                         LookupCase{L"Weekly Report", L"tarrow"}, LookupCase{L"Q-B", L"quenby"},
                                         LookupCase{L"MARL", L"marlisk"}, LookupCase{L"marl.exe", L"tarrow"},
                                         LookupCase{L"qb.exe", L"tarrow"}, LookupCase{L"quenbyer", L"quenby"},
                                         LookupCase{L"Quenby.exe", L"quenby"}, LookupCase{L"marlisk.exe", L"marlisk"},
                                         LookupCase{L"C:\\Apps\\Marlisk\\run.exe", L"marlisk"},
                                         LookupCase{L"marlisk quenby", L"quenby"}),
                         [](const auto& param) { return "Case" + std::to_string(param.index); });

TEST(ProfileTableTest, RowsHoldTheirAssets) {
  const Profile q = FindProfile(L"quenby");
  EXPECT_EQ(q.badge, L"QB");
  EXPECT_EQ(q.displayName, L"Quenby");
  EXPECT_EQ(q.sequenceTitle, L"Workspace launch sequence");
  EXPECT_EQ(q.backgroundCandidates, (std::vector<std::wstring>{L"assets\\quenby-bg-v1.png", L"assets\\tarrow-bg-v1.png"}));
  EXPECT_EQ(q.iconCandidates, (std::vector<std::wstring>{L"quenby.ico", L"control.ico"}));
  EXPECT_EQ(q.backgroundResourceId, 202u);
  EXPECT_EQ(q.iconResourceId, 102u);

  const Profile m = FindProfile(L"marlisk");
  EXPECT_EQ(m.badge, L"MK");
  EXPECT_EQ(m.sequenceTitle, L"Marl workspace launch");
  EXPECT_EQ(m.iconCandidates, (std::vector<std::wstring>{L"marlisk.ico", L"marl.ico", L"control.ico"}));
  EXPECT_EQ(m.backgroundResourceId, 203u);
  EXPECT_EQ(m.iconResourceId, 103u);

  const Profile t = FindProfile(L"");
  EXPECT_EQ(t.badge, L"TW");
  EXPECT_EQ(t.displayName, L"Tarrow");
  EXPECT_EQ(t.sequenceTitle, L"Secure runtime delivery");
  EXPECT_EQ(t.backgroundCandidates, (std::vector<std::wstring>{L"assets\\tarrow-bg-v1.png"}));
  EXPECT_EQ(t.iconCandidates, (std::vector<std::wstring>{L"control.ico"}));
  EXPECT_EQ(t.backgroundResourceId, 201u);
  EXPECT_EQ(t.iconResourceId, 101u);
}

struct TitleCase {
  std::wstring text;
  std::wstring title;
};

class SanitizeTitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(SanitizeTitleTest, Sanitises) { EXPECT_EQ(SanitizeTitle(GetParam().text), GetParam().title); }

INSTANTIATE_TEST_SUITE_P(
    Texts, SanitizeTitleTest,
    testing::Values(
        TitleCase{L" \t\r\n ", L"Tarrow"}, TitleCase{L"", L"Tarrow"},
        TitleCase{L"Tarrow Preview", L"Tarrow Preview"},
        TitleCase{L"C:\\Program Files\\Quenby\\Quenby.exe", L"Quenby"}, TitleCase{L"build/", L"Tarrow"},
        TitleCase{L"dir/notes.old.txt", L"notes.old"}, TitleCase{L"notes.old.txt", L"notes.old.txt"},
        TitleCase{L"https://example.test/app.exe", L"Tarrow"}, TitleCase{L"see ftp://x", L"Tarrow"},
        TitleCase{L"Caf\u00e9Bar", L"Caf Bar"}, TitleCase{L"a!! b", L"a b"}, TitleCase{L"!a!", L"a"},
        TitleCase{L"Line\tone\rtwo\nthree", L"Line one two three"},
        TitleCase{L"(beta)+x_y-z.1", L"(beta)+x_y-z.1"},
        TitleCase{L"\\\\server", L"Tarrow"}, TitleCase{L"\\\\server\\share", L"share"},
        TitleCase{L"\\\\?\\C:\\Apps\\run.exe", L"run"}, TitleCase{L"\\??\\", L"Tarrow"},
        TitleCase{L"C:\\", L"Tarrow"}, TitleCase{L"dir/file.txt:stream", L"file"},
        TitleCase{L"dir/C:foo.exe", L"C"}, TitleCase{L"dir/..", L".."}, TitleCase{L"dir/.", L"."},
        TitleCase{L"dir/notes.", L"notes"}, TitleCase{L"dir/.profile", L".profile"},
        TitleCase{L"a/b\\c d.exe", L"c d"}),
    [](const testing::TestParamInfo<TitleCase>& param) { return "Case" + std::to_string(param.index); });

TEST(SanitizeTitleTest, CutsToSeventyTwoUnits) {
  EXPECT_EQ(SanitizeTitle(std::wstring(100, L'a')), std::wstring(72, L'a'));
  // The cut may leave a trailing space; only ResolveDisplayTitle trims it.
  const std::wstring text = std::wstring(71, L'b') + L" c";
  EXPECT_EQ(SanitizeTitle(text), std::wstring(71, L'b') + L" ");
  EXPECT_EQ(ResolveDisplayTitle(SanitizeTitle(text), FindProfile(L"")), std::wstring(71, L'b'));
}

struct DisplayCase {
  std::wstring title;
  std::wstring profile;
  std::wstring display;
};

class ResolveDisplayTitleTest : public testing::TestWithParam<DisplayCase> {};

TEST_P(ResolveDisplayTitleTest, Resolves) {
  EXPECT_EQ(ResolveDisplayTitle(GetParam().title, FindProfile(GetParam().profile)), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(Titles, ResolveDisplayTitleTest,
                         testing::Values(DisplayCase{L"Quenby.exe", L"quenby", L"Quenby"},
                                         DisplayCase{L"qb", L"quenby", L"Quenby"},
                                         DisplayCase{L"Quenby Preview", L"quenby", L"Quenby Preview"},
                                         DisplayCase{L"marl", L"marlisk", L"Marlisk"},
                                         DisplayCase{L"MARLISK.EXE", L"marlisk", L"Marlisk"},
                                         DisplayCase{L"qb", L"marlisk", L"qb"},
                                         DisplayCase{L"tarrow", L"tarrow", L"tarrow"}),
                         [](const auto& param) { return "Case" + std::to_string(param.index); });

}  // namespace
