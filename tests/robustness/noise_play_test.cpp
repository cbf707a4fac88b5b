// The soak is only as hostile as its noise: these checks keep the generated
// plays covering every ingredient within the seeds the soak uses, and keep
// each play short enough for the soak's time budget.
#include <gtest/gtest.h>

#include "tests/robustness/soak_plan.h"
#include "tools/updater_noise/noise_play.h"

namespace {

TEST(NoisePlay, SameSeedSamePlay) {
  const NoisePlay a = MakeNoisePlay(17);
  const NoisePlay b = MakeNoisePlay(17);
  EXPECT_EQ(NoiseBytes(a), NoiseBytes(b));
  EXPECT_EQ(a.exitCode, b.exitCode);
  EXPECT_EQ(a.TotalSleepMs(), b.TotalSleepMs());
  EXPECT_NE(NoiseBytes(a), NoiseBytes(MakeNoisePlay(18)));
}

TEST(NoisePlay, SoakSeedsCoverEveryIngredientAndExitCode) {
  std::vector<int> seen(static_cast<size_t>(NoiseIngredient::Count), 0);
  int nonZeroExits = 0, crashLikeExits = 0;
  for (uint64_t seed = 1; seed <= kSoakRuns; ++seed) {
    const NoisePlay play = MakeNoisePlay(seed);
    for (size_t i = 0; i < seen.size(); ++i) seen[i] += play.used[i] ? 1 : 0;
    nonZeroExits += play.exitCode != 0 ? 1 : 0;
    crashLikeExits += play.exitCode >= 0x80000000u ? 1 : 0;
  }
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_GE(seen[i], 3) << "ingredient " << i << " is too rare";
  EXPECT_GE(nonZeroExits, 10);
  EXPECT_GE(crashLikeExits, 3);
}

TEST(NoisePlay, PlaysStayWithinTheirBounds) {
  for (uint64_t seed = 1; seed <= 200; ++seed) {
    const NoisePlay play = MakeNoisePlay(seed);
    EXPECT_LE(play.TotalSleepMs(), kNoiseMaxSleepMs) << "seed " << seed;
    size_t longest = 0;
    for (const NoiseStep& step : play.steps) longest = std::max(longest, step.bytes.size());
    EXPECT_LE(longest, kNoiseMaxLineBytes) << "seed " << seed;
    if (play.Uses(NoiseIngredient::HugeLine)) {
      EXPECT_GT(longest, size_t{1} << 20) << "seed " << seed;
    } else {
      EXPECT_LT(play.TotalBytes(), 64u * 1024u) << "seed " << seed;
    }
    const NoisePlay small = MakeNoisePlay(seed, false);
    EXPECT_FALSE(small.Uses(NoiseIngredient::HugeLine)) << "seed " << seed;
  }
}

TEST(NoisePlay, HostileBytesReallyAppear) {
  std::string all;
  for (uint64_t seed = 1; seed <= kSoakRuns; ++seed) all += NoiseBytes(MakeNoisePlay(seed, false));
  EXPECT_NE(all.find('\0'), std::string::npos);
  EXPECT_NE(all.find("\xED\xA0\x80"), std::string::npos);  // an encoded surrogate
  EXPECT_NE(all.find("nan"), std::string::npos);
  EXPECT_NE(all.find("1e999"), std::string::npos);
  EXPECT_NE(all.find("done\n"), std::string::npos);
}

TEST(SoakPlan, RunsMixEveryInputAndBothSources) {
  std::vector<int> seen(static_cast<size_t>(InputKind::Count), 0);
  int fedRuns = 0;
  for (uint64_t seed = 1; seed <= kSoakRuns; ++seed) {
    const SoakRun run = PlanSoakRun(seed);
    for (const InputAction& action : run.input) ++seen[static_cast<size_t>(action.kind)];
    fedRuns += run.feedStandardInput ? 1 : 0;
    EXPECT_LE(run.InputMs(), 1600u) << "seed " << seed;
  }
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_GE(seen[i], 3) << "input kind " << i << " is too rare";
  EXPECT_GE(fedRuns, 10);
}

}  // namespace
