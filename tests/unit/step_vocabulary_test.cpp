#include "state/step_vocabulary.h"

#include <gtest/gtest.h>

namespace {

struct NormalizeCase {
  std::wstring word;
  std::wstring key;
};

class NormalizeStepKeyTest : public testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeStepKeyTest, Normalises) { EXPECT_EQ(NormalizeStepKey(GetParam().word), GetParam().key); }

INSTANTIATE_TEST_SUITE_P(
    Words, NormalizeStepKeyTest,
    testing::Values(NormalizeCase{L"connect", L"LINK"}, NormalizeCase{L"  Cancelled\t", L"STOP"},
                    NormalizeCase{L"cancel-led", L"STOP"}, NormalizeCase{L"canceled", L"CANCELED"},
                    NormalizeCase{L"download!", L"DOWNLOAD"}, NormalizeCase{L"", L"SCAN"}, NormalizeCase{L"--", L"SCAN"},
                    NormalizeCase{L"done", L"READY"}, NormalizeCase{L"\u00e9\u00e8", L"SCAN"},
                    NormalizeCase{L"package", L"MANIFEST"}, NormalizeCase{L"Info", L"MANIFEST"},
                    NormalizeCase{L"update", L"APPLY"}, NormalizeCase{L"open", L"LAUNCH"},
                    NormalizeCase{L"step 2", L"STEP2"}, NormalizeCase{L"ERROR", L"ERROR"},
                    NormalizeCase{L"verify", L"VERIFY"}),
                         [](const auto& param) { return "Case" + std::to_string(param.index); });

TEST(RailIndexTest, MapsKeysAndAliasesToSegments) {
  const std::pair<std::wstring, int> cases[] = {
      {L"LINK", 0},   {L"MANIFEST", 1}, {L"VERIFY", 2}, {L"SCAN", 2},  {L"DOWNLOAD", 3}, {L"APPLY", 3},
      {L"LAUNCH", 4}, {L"READY", 4},    {L"ERROR", 0},  {L"STOP", 0},  {L"STEP2", 0},    {L"info", 1},
      {L"update", 3}, {L"open", 4},     {L"", 2},       {L"done", 4}};
  for (const auto& [word, index] : cases) EXPECT_EQ(RailIndex(word), index) << std::string(word.begin(), word.end());
}

LaunchState StateWith(std::wstring step, std::optional<double> progress) {
  LaunchState s;
  s.stepKey = std::move(step);
  s.progress = progress;
  return s;
}

TEST(StepStatusTest, FollowsTheTargetNotTheShownProgress) {
  EXPECT_EQ(StepStatus(StateWith(L"LAUNCH", 0.9989)), L"active");
  EXPECT_EQ(StepStatus(StateWith(L"LAUNCH", 0.999)), L"done");
  EXPECT_EQ(StepStatus(StateWith(L"READY", std::nullopt)), L"idle");
  EXPECT_EQ(StepStatus(StateWith(L"READY", 1.0)), L"done");
  EXPECT_EQ(StepStatus(StateWith(L"DOWNLOAD", 1.0)), L"active");
  EXPECT_EQ(StepStatus(StateWith(L"DOWNLOAD", std::nullopt)), L"idle");
  EXPECT_EQ(StepStatus(StateWith(L"STOP", 1.0)), L"warn");
  EXPECT_EQ(StepStatus(StateWith(L"ERROR", std::nullopt)), L"warn");
  EXPECT_EQ(StepStatus(StateWith(L"STEP2", 0.5)), L"active");
}

TEST(LaunchStateTest, FreshStateIsLinkAtZero) {
  const LaunchState s;
  EXPECT_EQ(s.stepKey, L"LINK");
  EXPECT_EQ(s.railKey, L"LINK");
  EXPECT_TRUE(s.detailText.empty());
  ASSERT_TRUE(s.progress.has_value());
  EXPECT_EQ(*s.progress, 0.0);
  EXPECT_EQ(s.shownProgress, 0.0);
  EXPECT_EQ(s.settledTicks, 0);
  EXPECT_EQ(StepStatus(s), L"active");
  EXPECT_EQ(RailIndex(s.railKey), 0);
}

}  // namespace
