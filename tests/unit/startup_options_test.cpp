#include "app/startup_options.h"

#include <gtest/gtest.h>

namespace {

struct CommandLineCase {
  const char* name;
  std::vector<std::wstring> args;
  std::wstring startupText;
  std::wstring updaterCommand;
  std::wstring profileArgument;
  std::wstring stateArgument;
};

class CommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, ParsesAndResolves) {
  const CommandLineCase& c = GetParam();
  const StartupOptions o = ParseCommandLine(c.args);
  EXPECT_EQ(o.startupText, c.startupText);
  EXPECT_EQ(o.updaterCommand, c.updaterCommand);
  EXPECT_EQ(o.profileArgument, c.profileArgument);
  EXPECT_EQ(o.stateArgument, c.stateArgument);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    testing::Values(
        CommandLineCase{"NoArguments", {}, L"Tarrow Preview", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"ProfileOnly", {L"--profile", L"marl"}, L"Marlisk", L"", L"marl", L"DOWNLOAD"},
        CommandLineCase{"WordBeatsProfile", {L"--profile", L"quenby", L"Notes"}, L"Notes", L"", L"quenby", L"DOWNLOAD"},
        CommandLineCase{"UnknownProfile", {L"--profile", L"nothing"}, L"Tarrow", L"", L"nothing", L"DOWNLOAD"},
        CommandLineCase{"OptionNameIsCaseSensitive", {L"--PROFILE", L"quenby"}, L"quenby", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"StateLastIsSkipped", {L"--state"}, L"Tarrow Preview", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"ValueMayLookLikeOption", {L"--state", L"--updater-cmd", L"run.exe"}, L"run.exe", L"", L"",
                        L"--updater-cmd"},
        CommandLineCase{"EmptyUpdaterCommand", {L"--updater-cmd", L""}, L"Tarrow Preview", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"UpdaterCommandVerbatim", {L"--updater-cmd", L"u.exe --fast \"x y\""}, L"Tarrow Preview",
                        L"u.exe --fast \"x y\"", L"", L"DOWNLOAD"},
        CommandLineCase{"WordsJoinedBySingleSpaces", {L"My App", L"x"}, L"My App x", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"SingleHyphenIsAWord", {L"-v"}, L"-v", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"DoubleHyphenAloneIsSkipped", {L"--", L"--verbose", L"a"}, L"a", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"EmptyWordAloneAddsNothing", {L""}, L"Tarrow Preview", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"EmptyWordAfterWordLeavesSpace", {L"a", L""}, L"a ", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"EmptyWordWithProfile", {L"", L"--profile", L"qb"}, L"Quenby", L"", L"qb", L"DOWNLOAD"},
        CommandLineCase{"EmptyProfileValue", {L"--profile", L""}, L"Tarrow Preview", L"", L"", L"DOWNLOAD"},
        CommandLineCase{"LaterOptionReplaces", {L"--state", L"VERIFY", L"--state", L"ERROR"}, L"Tarrow Preview", L"",
                        L"", L"ERROR"},
        CommandLineCase{"AllOptions",
                        {L"--profile", L"qb", L"--state", L"SCAN", L"--updater-cmd", L"u.exe", L"--x", L"Weekly"},
                        L"Weekly", L"u.exe", L"qb", L"SCAN"}),
    [](const testing::TestParamInfo<CommandLineCase>& param) { return std::string(param.param.name); });

}  // namespace
