#include "channel/line_parser.h"
#include "channel/exit_code_report.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "channel/utf8.h"

namespace {

// The parser's rules, case by case, are pinned by the parser transcript
// (tests/replay/cases/parser.*) and the fuzzer; here: the field cap, which
// needs lines too long for a transcript to read well.
TEST(ParseUpdaterLineTest, EveryTextFieldIsCappedOutsideASurrogatePair) {
  const std::string object = R"({"kind":")" + std::string(5000, 'k') + R"(","caption":")" + std::string(4096, 'c') +
                             R"(","detail":")" + std::string(4097, 'd') + R"(","text":"\ud83d\ude00"})";
  const auto capped = ParseUpdaterLine(object);
  EXPECT_EQ(std::tie(capped->kind, capped->caption, capped->detail, capped->text),
            std::make_tuple(std::wstring(4096, L'k'), std::wstring(4096, L'c'), std::wstring(4096, L'd'),
                            Utf8ToWide("\xF0\x9F\x98\x80")));
  EXPECT_EQ(ParseUpdaterLine("status " + std::string(100000, 'x'))->text, std::wstring(4096, L'x'));
  // Where wchar_t holds UTF-32 (the native build) there is no pair to keep whole.
  const auto pair = ParseUpdaterLine("progress 0.5 SCAN " + std::string(4095, 'a') + "\xF0\x9F\x98\x80z");
  EXPECT_EQ(pair->detail, std::wstring(4095, L'a') + (sizeof(wchar_t) == 2 ? L"" : L"\U0001F600"));
}

TEST(Utf8ToWideTest, DecodesWellFormedText) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"", L""}, {"caf\xC3\xA9", L"caf\u00e9"}, {"\xE2\x82\xAC 5", L"\u20ac 5"},
      {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"}, {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
  };
  for (const auto& [bytes, wide] : cases) EXPECT_EQ(Utf8ToWide(bytes), wide) << testing::PrintToString(bytes);
}

TEST(Utf8ToWideTest, MalformedBytesBecomeReplacementCharacters) {
  // Each undecodable part gives at least one U+FFFD and the valid text around
  // it survives; the exact count per part is the converter's business.
  const std::string cases[] = {
      "a\xFF" "b",           // never a UTF-8 byte
      "a\x80" "b",           // stray continuation byte
      "a\xC3" "b",           // lead byte without its continuation
      "a\xE2\x82" "b",       // three-byte sequence cut short
      "a\xC0\xAF" "b",       // overlong slash
      "a\xED\xA0\x80" "b",   // encoded surrogate
      "a\xF4\x90\x80\x80" "b",  // above U+10FFFF
  };
  for (const std::string& bytes : cases) {
    const std::wstring wide = Utf8ToWide(bytes);
    ASSERT_GE(wide.size(), 3u) << testing::PrintToString(bytes);
    EXPECT_EQ(wide.front(), L'a');
    EXPECT_EQ(wide.back(), L'b');
    for (wchar_t unit : wide.substr(1, wide.size() - 2)) EXPECT_EQ(unit, L'\uFFFD');
  }
}

// The updater reader's last event: a non-zero exit code as an unsigned number.
TEST(ExitCodeReportTest, NonZeroCodesAreReportedAsUnsignedDecimal) {
  EXPECT_EQ(MakeExitCodeReport(0), nullptr);
  EXPECT_EQ(MakeExitCodeReport(2)->detail, L"Updater process exited with code 2");
  const auto crash = MakeExitCodeReport(0xC0000005u);
  EXPECT_EQ(std::tie(crash->kind, crash->detail),
            std::make_tuple(L"error", L"Updater process exited with code 3221225477"));
}

}  // namespace
