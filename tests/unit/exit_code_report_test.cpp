#include "channel/exit_code_report.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct ExitCase {
  const char* name;
  uint32_t code;
  const wchar_t* detail;
};

class ExitCodeReportTest : public testing::TestWithParam<ExitCase> {};

TEST_P(ExitCodeReportTest, ReportsTheCodeAsUnsignedDecimal) {
  const auto event = MakeExitCodeReport(GetParam().code);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->kind, L"error");
  EXPECT_EQ(event->detail, GetParam().detail);
  EXPECT_FALSE(event->value.has_value());
  EXPECT_TRUE(event->caption.empty());
  EXPECT_TRUE(event->text.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ExitCodeReportTest,
    testing::Values(ExitCase{"One", 1u, L"Updater process exited with code 1"},
                    ExitCase{"Two", 2u, L"Updater process exited with code 2"},
                    ExitCase{"Ten", 10u, L"Updater process exited with code 10"},
                    ExitCase{"TopBitSet", 0xC0000005u, L"Updater process exited with code 3221225477"},
                    ExitCase{"MinusOne", 0xFFFFFFFFu, L"Updater process exited with code 4294967295"}),
    [](const testing::TestParamInfo<ExitCase>& param) { return std::string(param.param.name); });

TEST(ExitCodeReportTest, ZeroReportsNothing) { EXPECT_EQ(MakeExitCodeReport(0), nullptr); }

}  // namespace
