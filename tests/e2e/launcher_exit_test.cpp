#include <gtest/gtest.h>

#include "tests/support/process_runner.h"

namespace {

TEST(LauncherProcessTest, StartsAndExitsWithZero) {
  auto child = StartProgram(L"tarrow-launcher.exe", L"--state VERIFY Weekly Report");
  ASSERT_TRUE(child.has_value());
  const auto code = WaitForExitCode(*child, 20000);
  ASSERT_TRUE(code.has_value()) << "launcher did not exit";
  EXPECT_EQ(*code, 0u);
}

}  // namespace
