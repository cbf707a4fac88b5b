#include "benchmarks/bench_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct MedianCase {
  const char* name;
  std::vector<double> samples;
  std::optional<double> expected;
};

class MedianTest : public testing::TestWithParam<MedianCase> {};

TEST_P(MedianTest, TakesTheMiddleOfTheSortedFiniteSamples) {
  EXPECT_EQ(Median(GetParam().samples), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, MedianTest,
    testing::Values(MedianCase{"none", {}, std::nullopt}, MedianCase{"one", {4.0}, 4.0},
                    MedianCase{"oddUnsorted", {9.0, 1.0, 5.0}, 5.0},
                    MedianCase{"evenTakesTheMeanOfTheMiddleTwo", {8.0, 2.0, 4.0, 6.0}, 5.0},
                    MedianCase{"failedRunsLeftOut", {kNaN, 3.0, kNaN, 1.0, 2.0}, 2.0},
                    MedianCase{"onlyFailedRuns", {kNaN, kNaN}, std::nullopt}),
    [](const testing::TestParamInfo<MedianCase>& param) { return std::string(param.param.name); });

Figure Make(std::optional<double> value, std::optional<double> floor, Compare compare, AimKind kind, double aim) {
  Figure f;
  f.key = "k";
  f.label = "K";
  f.unit = "ms";
  f.value = value;
  f.floor = floor;
  f.compare = compare;
  f.aimKind = kind;
  f.aim = aim;
  return f;
}

struct AimCase {
  const char* name;
  Figure figure;
  std::optional<bool> met;
};

class AimTest : public testing::TestWithParam<AimCase> {};

TEST_P(AimTest, JudgesTheRatioDifferenceOrValue) { EXPECT_EQ(MeetsAim(GetParam().figure), GetParam().met); }

INSTANTIATE_TEST_SUITE_P(
    Figures, AimTest,
    testing::Values(
        AimCase{"ratioAtTheBoundMeetsAtMost", Make(130.0, 100.0, Compare::Ratio, AimKind::AtMost, 1.3), true},
        AimCase{"ratioAboveFailsAtMost", Make(131.0, 100.0, Compare::Ratio, AimKind::AtMost, 1.3), false},
        AimCase{"ratioBelowFailsAtLeast", Make(79.0, 100.0, Compare::Ratio, AimKind::AtLeast, 0.8), false},
        AimCase{"ratioAboveMeetsAtLeast", Make(81.0, 100.0, Compare::Ratio, AimKind::AtLeast, 0.8), true},
        AimCase{"differenceIsValueMinusFloor", Make(20.0, 11.0, Compare::Difference, AimKind::AtMost, 8.0), false},
        AimCase{"smallDifferenceMeets", Make(18.0, 11.0, Compare::Difference, AimKind::AtMost, 8.0), true},
        AimCase{"noFloorJudgesTheValue", Make(0.04, std::nullopt, Compare::Ratio, AimKind::AtMost, 0.05), true},
        AimCase{"missingValueIsUnjudged", Make(std::nullopt, 1.0, Compare::Ratio, AimKind::AtMost, 1.3),
                std::nullopt},
        AimCase{"zeroFloorIsUnjudged", Make(1.0, 0.0, Compare::Ratio, AimKind::AtMost, 1.3), std::nullopt},
        AimCase{"nanValueIsUnjudged", Make(kNaN, std::nullopt, Compare::Ratio, AimKind::AtMost, 1.3),
                std::nullopt},
        AimCase{"noAim", Make(1.0, 1.0, Compare::Ratio, AimKind::None, 0.0), std::nullopt}),
    [](const testing::TestParamInfo<AimCase>& param) { return std::string(param.param.name); });

struct PairedCase {
  const char* name;
  std::vector<double> values;
  std::vector<double> floors;
  Compare compare;
  std::optional<double> expected;
};

class PairedComparisonTest : public testing::TestWithParam<PairedCase> {};

TEST_P(PairedComparisonTest, ComparesWithinEachRepetitionThenTakesTheMedian) {
  const PairedCase& c = GetParam();
  EXPECT_EQ(PairedComparison(c.values, c.floors, c.compare), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, PairedComparisonTest,
    testing::Values(
        // Medians 20 and 20 would give 1.0; the repetitions say 2, 0.5 and 2.
        PairedCase{"ratiosNotRatioOfMedians", {20, 10, 40}, {10, 20, 20}, Compare::Ratio, 2.0},
        PairedCase{"differences", {25, 24, 30}, {20, 20, 20}, Compare::Difference, 5.0},
        PairedCase{"failedSideLeftOut", {kNaN, 30, 9}, {10, kNaN, 3}, Compare::Ratio, 3.0},
        PairedCase{"zeroFloorLeftOut", {5, 6}, {0, 2}, Compare::Ratio, 3.0},
        PairedCase{"unevenLengthsPairOnlyTheCommonPart", {4, 8, 100}, {2, 4}, Compare::Ratio, 2.0},
        PairedCase{"nothingPaired", {kNaN}, {1}, Compare::Ratio, std::nullopt}),
    [](const testing::TestParamInfo<PairedCase>& param) { return std::string(param.param.name); });

TEST(BenchReportComparison, PairedComparisonWinsOverTheMedians) {
  Figure f = Make(20.0, 20.0, Compare::Ratio, AimKind::AtLeast, 0.8);
  EXPECT_EQ(Comparison(f), 1.0);
  f.pairedComparison = 0.5;
  EXPECT_EQ(Comparison(f), 0.5);
  EXPECT_EQ(MeetsAim(f), false);
}

BenchReport SampleReport() {
  BenchReport report;
  report.machine = "2 cores, \"wine\"\tX";
  report.runs = 5;
  Figure first = Make(412.26, 317.5, Compare::Ratio, AimKind::AtMost, 1.3);
  first.key = "firstFrame";
  first.label = "First frame";
  first.samples = 5;
  Figure memory = Make(21.0, 12.5, Compare::Difference, AimKind::AtMost, 8.0);
  memory.key = "peakWorkingSet";
  memory.label = "Peak memory";
  memory.unit = "MB";
  Figure idle = Make(std::nullopt, std::nullopt, Compare::Ratio, AimKind::AtMost, 0.05);
  idle.key = "idleCpu";
  idle.unit = "s";
  report.figures = {first, memory, idle};
  report.notes = {"run 2: line\nbroken"};
  return report;
}

TEST(BenchReportJson, WritesEveryFigureWithItsComparisonAndVerdict) {
  EXPECT_EQ(FormatJson(SampleReport()),
            "{\"machine\":\"2 cores, \\\"wine\\\"\\tX\",\"runs\":5,\"figures\":{"
            "\"firstFrame\":{\"label\":\"First frame\",\"unit\":\"ms\",\"value\":412.26,\"floor\":317.5,"
            "\"ratio\":1.298456693,\"aim\":{\"kind\":\"atMost\",\"value\":1.3},\"met\":true,\"samples\":5},"
            "\"peakWorkingSet\":{\"label\":\"Peak memory\",\"unit\":\"MB\",\"value\":21,\"floor\":12.5,"
            "\"difference\":8.5,\"aim\":{\"kind\":\"atMost\",\"value\":8},\"met\":false,\"samples\":0},"
            "\"idleCpu\":{\"label\":\"K\",\"unit\":\"s\",\"value\":null,\"floor\":null,\"ratio\":null,"
            "\"aim\":{\"kind\":\"atMost\",\"value\":0.05},\"met\":null,\"samples\":0}},"
            "\"notes\":[\"run 2: line\\nbroken\"]}\n");
}

TEST(BenchReportJson, EscapesControlBytes) {
  EXPECT_EQ(JsonEscape(std::string("a\x01\x1f\\b", 5)), "a\\u0001\\u001f\\\\b");
}

TEST(BenchReportTable, ShowsOneRowPerFigureWithUnitsAndVerdict) {
  const std::string table = FormatTable(SampleReport());
  EXPECT_NE(table.find("median of 5 runs"), std::string::npos);
  EXPECT_NE(table.find("First frame       412.3 ms          317.5 ms          x1.30           <= x1.30        yes\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("Peak memory       21.0 MB           12.5 MB           +8.5 MB         <= +8.0 MB      NO\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("K                 -                 -                 -               <= 0.050 s      -\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("note: run 2: line\nbroken"), std::string::npos);
}

struct FloorCase {
  const char* name;
  const char* output;
  std::optional<double> floorUs;
};

class ChannelFloorTest : public testing::TestWithParam<FloorCase> {};

TEST_P(ChannelFloorTest, ReadsTheFloorLineOnly) {
  EXPECT_EQ(ParseChannelFloorMicroseconds(GetParam().output), GetParam().floorUs);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ChannelFloorTest,
    testing::Values(
        FloorCase{"fullOutput",
                  "channel throughput: 100000 lines per run, best of 1 runs\n"
                  "  floor, PostMessageW -> GetMessageW across two threads:     4.25 us per message\n"
                  "  (PostMessageW + GetMessageW on one thread:                 2.10 us per message)\n"
                  "  flooding updater line -> applied event:                    5.00 us per line\n",
                  4.25},
        FloorCase{"crlfLineEnds", "  floor, x -> y:  12.5 us per message\r\n", 12.5},
        FloorCase{"referenceLineIsNotTheFloor", "  (PostMessageW + GetMessageW on one thread: 2.10 us per message)\n",
                  std::nullopt},
        FloorCase{"noNumber", "  floor, a -> b:   nan us per message\n", std::nullopt},
        FloorCase{"zeroIsNoFloor", "  floor, a -> b:   0.00 us per message\n", std::nullopt},
        FloorCase{"otherUnit", "  floor, a -> b:   4.25 ms\n", std::nullopt}, FloorCase{"empty", "", std::nullopt}),
    [](const testing::TestParamInfo<FloorCase>& param) { return std::string(param.param.name); });

}  // namespace
