#include "state/titles.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiScaleTest, NeverBelowOne) {
  EXPECT_FLOAT_EQ(DpiScaleFor(144), 1.5f);
  EXPECT_FLOAT_EQ(DpiScaleFor(120), 1.25f);
  EXPECT_FLOAT_EQ(DpiScaleFor(96), 1.0f);
  EXPECT_FLOAT_EQ(DpiScaleFor(72), 1.0f);
  EXPECT_FLOAT_EQ(DpiScaleFor(0), 1.0f);
  EXPECT_FLOAT_EQ(DpiScaleFor(192), 2.0f);
}

TEST(AppIdentityTest, DerivesTitleProfileAndDisplayTitle) {
  struct Case {
    std::wstring text, title, profile, display;
  } cases[] = {
      {L"Tarrow Preview", L"Tarrow Preview", L"tarrow", L"Tarrow Preview"},
      {L"Marlisk", L"Marlisk", L"marlisk", L"Marlisk"},
      {L"C:\\Apps\\Quenby\\Quenby.exe", L"Quenby", L"quenby", L"Quenby"},
      {L"quenby.exe", L"quenby.exe", L"quenby", L"Quenby"},
      {L"Weekly Report", L"Weekly Report", L"tarrow", L"Weekly Report"},
      {L"C:\\Apps\\Marlisk\\run.exe", L"run", L"tarrow", L"run"},
      {L"Quenby Preview", L"Quenby Preview", L"quenby", L"Quenby Preview"},
  };
  for (const Case& c : cases) {
    const AppIdentity id = DeriveAppIdentity(c.text);
    EXPECT_EQ(id.title, c.title);
    EXPECT_EQ(id.profile.key, c.profile);
    EXPECT_EQ(id.displayTitle, c.display);
  }
}

}  // namespace
