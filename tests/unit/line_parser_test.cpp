#include "channel/line_parser.h"
#include "base/text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "channel/utf8.h"

namespace {

LaunchEvent Ev(std::wstring kind = {}, std::optional<double> value = {}, std::wstring caption = {},
               std::wstring detail = {}, std::wstring text = {}) {
  return LaunchEvent{std::move(kind), value, std::move(caption), std::move(detail), std::move(text)};
}

struct ParseCase {
  const char* name;
  std::string line;
  std::optional<LaunchEvent> expected;  // nullopt: the line yields no event
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseUpdaterLineTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseUpdaterLineTest, YieldsTheEvent) {
  const ParseCase& c = GetParam();
  const std::unique_ptr<LaunchEvent> event = ParseUpdaterLine(c.line);
  if (!c.expected) {
    EXPECT_EQ(event, nullptr);
    return;
  }
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->kind, c.expected->kind);
  EXPECT_EQ(event->value, c.expected->value);
  EXPECT_EQ(event->caption, c.expected->caption);
  EXPECT_EQ(event->detail, c.expected->detail);
  EXPECT_EQ(event->text, c.expected->text);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseUpdaterLineTest,
    testing::Values(
        // The worked examples.
        ParseCase{"ObjectProgress", R"({"kind":"progress","value":0.42,"caption":"DOWNLOAD","detail":"Downloading runtime"})", Ev(L"progress", 0.42, L"DOWNLOAD", L"Downloading runtime")},
        ParseCase{"WordProgress", "progress 0.42 DOWNLOAD Downloading runtime", Ev(L"progress", 0.42, L"DOWNLOAD", L"Downloading runtime")},
        ParseCase{"ObjectFallbackKeys", R"({"type":"error","state":"VERIFY","status":"Update failed"})", Ev(L"error", {}, L"VERIFY", L"", L"Update failed")},
        ParseCase{"WordStatus", "status Verifying package", Ev(L"status", {}, L"", L"Verifying package", L"Verifying package")},
        ParseCase{"WordAlone", "done", Ev(L"done")},
        ParseCase{"BlankMix", " \t \r", std::nullopt},
        ParseCase{"Empty", "", std::nullopt},
        ParseCase{"OnlyLineEnds", "\r\n\n\r", std::nullopt},
        // Trimming and the choice of form.
        ParseCase{"CrlfNeverReachesAField", "status Checking files\r", Ev(L"status", {}, L"", L"Checking files", L"Checking files")},
        ParseCase{"LoneCrStaysInside", "status a\rb", Ev(L"status", {}, L"", L"a\rb", L"a\rb")},
        ParseCase{"VerticalTabIsNotBlank", "\v", Ev(L"\v")},
        ParseCase{"BraceAlone", "{", Ev()},
        ParseCase{"BraceWithWords", "{ nothing known here }", Ev()},
        ParseCase{"BlanksBeforeBrace", " \t{\"kind\":\"done\"}\r", Ev(L"done")},
        ParseCase{"BraceLaterStaysWords", R"(status {"kind":"done"})", Ev(L"status", {}, L"", LR"({"kind":"done"})", LR"({"kind":"done"})")},
        // Key lookup quirks of the object form.
        ParseCase{"FirstOfTwoKeys", R"({"kind":"a","kind":"b"})", Ev(L"a")},
        ParseCase{"EmptyKindBeatsType", R"({"kind":"","type":"error"})", Ev()},
        ParseCase{"KeysAreCaseSensitive", R"({"Kind":"done","Detail":"x"})", Ev()},
        ParseCase{"StatusValueShadowsStatusKey", R"({"type":"status","state":"VERIFY","status":"Checking"})", Ev(L"status", {}, L"VERIFY", L"", L"VERIFY")},
        ParseCase{"NumberTakesNextQuotedText", R"({"caption":5,"detail":"x"})", Ev(L"", {}, L"detail", L"x")},
        ParseCase{"UnterminatedFallsBack", R"({"state":"VERIFY","caption":"unterminated)", Ev(L"", {}, L"VERIFY")},
        ParseCase{"UnterminatedWithoutFallback", R"({"kind":"done","detail":"cut off)", Ev(L"done")},
        ParseCase{"QuotedValueIsAbsent", R"({"kind":"progress","value":"0.5"})", Ev(L"progress")},
        ParseCase{"SpacedExponentValue", "{\"value\" : \t-1.5e1}", Ev(L"", -15.0)},
        ParseCase{"PercentValueUnlimited", R"({"value":50})", Ev(L"", 50.0)},
        ParseCase{"ObjectHasNoProgressKey", R"({"progress":0.5})", Ev()},
        ParseCase{"ObjectDecodesEscapes", R"({"kind":"status","text":"caf\u00e9 \"ok\""})", Ev(L"status", {}, L"", L"", L"caf\u00e9 \"ok\"")},
        // The word form.
        ParseCase{"ProgressAlone", "progress", Ev(L"progress")},
        ParseCase{"ProgressNotANumber", "progress abc DOWNLOAD x", Ev(L"progress", {}, L"DOWNLOAD", L"x")},
        ParseCase{"ProgressNumberPrefix", "progress 0.5x SCAN", Ev(L"progress", 0.5, L"SCAN")},
        ParseCase{"ProgressRunsOfSpaces", "progress   0.75   DOWNLOAD   Fetching  many   files  ", Ev(L"progress", 0.75, L"DOWNLOAD", L"Fetching  many   files")},
        ParseCase{"ProgressNumberOnly", "progress 1", Ev(L"progress", 1.0)},
        ParseCase{"CapitalProgressNotSplit", "Progress 50 DOWNLOAD x", Ev(L"Progress", {}, L"", L"50 DOWNLOAD x", L"50 DOWNLOAD x")},
        ParseCase{"UpperProgressNotSplit", "PROGRESS 50 DOWNLOAD x", Ev(L"PROGRESS", {}, L"", L"50 DOWNLOAD x", L"50 DOWNLOAD x")},
        ParseCase{"TabDoesNotSeparate", "progress\t50", Ev(L"progress\t50")},
        ParseCase{"WordsKeepEscapesRaw", R"(status caf\u00e9)", Ev(L"status", {}, L"", LR"(caf\u00e9)", LR"(caf\u00e9)")},
        ParseCase{"WordsUtf8", "status Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93", Ev(L"status", {}, L"", L"Gr\u00fc\u00dfe \u2713", L"Gr\u00fc\u00dfe \u2713")},
        // Every text field is cut at 4096 units, never inside a surrogate pair
        // (where wchar_t holds UTF-32, as in the native build, there is none).
        ParseCase{"ObjectFieldsCapped", R"({"kind":")" + std::string(5000, 'k') + R"(","caption":")" + std::string(4096, 'c') + R"(","detail":")" + std::string(4097, 'd') + R"(","text":"\ud83d\ude00"})", Ev(std::wstring(4096, L'k'), {}, std::wstring(4096, L'c'), std::wstring(4096, L'd'), Utf8ToWide("\xF0\x9F\x98\x80"))},
        ParseCase{"WordFieldsCapped", "status " + std::string(100000, 'x'), Ev(L"status", {}, L"", std::wstring(4096, L'x'), std::wstring(4096, L'x'))},
        ParseCase{"CutBeforeAPair", "progress 0.5 SCAN " + std::string(4095, 'a') + "\xF0\x9F\x98\x80z", Ev(L"progress", 0.5, L"SCAN", std::wstring(4095, L'a') + (sizeof(wchar_t) == 2 ? L"" : L"\U0001F600"))}),
    [](const testing::TestParamInfo<ParseCase>& param) { return std::string(param.param.name); });

TEST(ParseUpdaterLineTest, MalformedUtf8StillFillsTheField) {
  const auto event = ParseUpdaterLine("status \xFF\xFE");
  ASSERT_NE(event, nullptr);
  ASSERT_FALSE(event->text.empty());
  EXPECT_NE(event->text.find(L'\uFFFD'), std::wstring::npos);
}

struct StringFieldCase {
  const char* name;
  std::string line;
  std::string key;
  std::optional<std::string> expected;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const StringFieldCase& c, std::ostream* os) { *os << c.name; }

class ExtractStringFieldTest : public testing::TestWithParam<StringFieldCase> {};

TEST_P(ExtractStringFieldTest, Extracts) {
  EXPECT_EQ(ExtractStringField(GetParam().line, GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ExtractStringFieldTest,
    testing::Values(
        StringFieldCase{"Plain", R"({"detail":"abc"})", "detail", "abc"},
        StringFieldCase{"EmptyValueIsFound", R"({"detail":""})", "detail", ""},
        StringFieldCase{"KeyMissing", R"({"text":"abc"})", "detail", std::nullopt},
        StringFieldCase{"UnquotedKeyIsNotTheKey", R"({detail:"abc"})", "detail", std::nullopt},
        StringFieldCase{"NoColon", R"({"detail" "abc"})", "detail", std::nullopt},
        StringFieldCase{"NoOpeningQuote", R"({"detail": 5})", "detail", std::nullopt},
        StringFieldCase{"GapSkippedUnexamined", R"({"detail" junk : junk "abc"})", "detail", "abc"},
        StringFieldCase{"EmptyKey", R"({"a":"b","":"x"})", "", "x"},
        StringFieldCase{"KeyInsideLongerWord", R"({"subdetail":"a","detail":"b"})", "detail", "b"},
        StringFieldCase{"KeyAsStringValueCounts", R"({"kind":"detail","x":"y"})", "detail", "y"},
        StringFieldCase{"NestedCountsToo", R"({"a":{"detail":"inner"},"detail":"outer"})", "detail", "inner"},
        StringFieldCase{"NoClosingQuote", R"({"detail":"abc)", "detail", std::nullopt},
        StringFieldCase{"EndsAfterBackslash", "{\"detail\":\"abc\\", "detail", std::nullopt},
        StringFieldCase{"EscapedQuoteDoesNotEnd", R"({"detail":"abc\")", "detail", std::nullopt},
        StringFieldCase{"SimpleEscapes", R"({"detail":"q\"b\\n\nr\rt\ts\/b\bx\x"})", "detail",
                        "q\"b\\n\nr\rt\ts/bbxx"},
        StringFieldCase{"RawUtf8Passes", "{\"detail\":\"caf\xC3\xA9\"}", "detail", "caf\xC3\xA9"},
        StringFieldCase{"UnicodeEscapes", R"({"detail":"caf\u00E9 \u003cb\u003e \u20ac"})", "detail",
                        "caf\xC3\xA9 <b> \xE2\x82\xAC"},
        StringFieldCase{"NulEscape", R"({"detail":"a\u0000b"})", "detail", std::string("a\0b", 3)},
        StringFieldCase{"SurrogatePair", R"({"detail":"\ud83d\ude00!"})", "detail", "\xF0\x9F\x98\x80!"},
        StringFieldCase{"LoneHighSurrogate", R"({"detail":"\ud83dx"})", "detail", "\xEF\xBF\xBDx"},
        StringFieldCase{"HighAtValueEnd", R"({"detail":"\uD83D"})", "detail", "\xEF\xBF\xBD"},
        StringFieldCase{"LoneLowSurrogate", R"({"detail":"\ude00x"})", "detail", "\xEF\xBF\xBDx"},
        StringFieldCase{"HighThenNonLow", R"({"detail":"\ud83d\u0041"})", "detail", "\xEF\xBF\xBD" "A"},
        StringFieldCase{"HighThenHigh", R"({"detail":"\ud83d\ud83d\ude00"})", "detail",
                        "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        StringFieldCase{"HighThenBadEscape", R"({"detail":"\ud83d\uZZZZ"})", "detail", "\xEF\xBF\xBDuZZZZ"},
        StringFieldCase{"ShortUnicodeEscape", R"({"detail":"\u12"})", "detail", "u12"},
        StringFieldCase{"NonHexUnicodeEscape", R"({"detail":"\u00g1"})", "detail", "u00g1"},
        StringFieldCase{"UnicodeEscapeCutByLineEnd", R"({"detail":"\u00e)", "detail", std::nullopt}),
    [](const testing::TestParamInfo<StringFieldCase>& param) { return std::string(param.param.name); });

struct NumberFieldCase {
  const char* name;
  std::string line;
  std::optional<double> expected;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const NumberFieldCase& c, std::ostream* os) { *os << c.name; }

class ExtractNumberFieldTest : public testing::TestWithParam<NumberFieldCase> {};

TEST_P(ExtractNumberFieldTest, Converts) { EXPECT_EQ(ExtractNumberField(GetParam().line, "value"), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Numbers, ExtractNumberFieldTest,
    testing::Values(NumberFieldCase{"Plain", R"({"value":0.25})", 0.25},
                    NumberFieldCase{"Negative", R"({"value":-1.5e1})", -15.0},
                    NumberFieldCase{"PlusAndBarePoint", R"({"value":+.5})", 0.5},
                    NumberFieldCase{"EveryClassicSpace", "{\"value\": \t\n\v\f\r0.75}", 0.75},
                    NumberFieldCase{"TrailingBytesIgnored", R"({"value":1.0e-1xyz,"kind":"a"})", 0.1},
                    NumberFieldCase{"DecimalCommaStops", R"({"value":0,5})", 0.0},
                    NumberFieldCase{"Null", R"({"value":null})", std::nullopt},
                    NumberFieldCase{"NullPrefix", R"({"value":nullable})", std::nullopt},
                    NumberFieldCase{"CapitalNullIsNoNumber", R"({"value":NULL})", std::nullopt},
                    NumberFieldCase{"Quoted", R"({"value":"0.5"})", std::nullopt},
                    NumberFieldCase{"True", R"({"value":true})", std::nullopt},
                    NumberFieldCase{"False", R"({"value":false})", std::nullopt},
                    NumberFieldCase{"SignOnly", R"({"value":-})", std::nullopt},
                    NumberFieldCase{"NothingAfterColon", R"({"value":)", std::nullopt},
                    NumberFieldCase{"NoColon", R"({"value" 0.5})", std::nullopt},
                    NumberFieldCase{"Missing", R"({"kind":"progress"})", std::nullopt},
                    NumberFieldCase{"FirstOccurrenceAsStringValue", R"({"kind":"value","value":0.3})", 0.3},
                    NumberFieldCase{"LongDigitRun", "{\"value\":0." + std::string(200, '5') + "}",
                                    0.55555555555555555555}),
    [](const testing::TestParamInfo<NumberFieldCase>& param) { return std::string(param.param.name); });

TEST(TrimBlankBytesTest, StripsOnlySpaceTabCrLf) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {" \t\r\n", ""},
      {"\r\n x y \t", "x y"},
      {"\va\f", "\va\f"},
      {std::string("\0a\0", 3), std::string("\0a\0", 3)},
      {"\xC2\xA0" "a", "\xC2\xA0" "a"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(TrimBlank(input), expected) << testing::PrintToString(input);
}

TEST(Utf8ToWideTest, DecodesWellFormedText) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"", L""},
      {"plain", L"plain"},
      {"caf\xC3\xA9", L"caf\u00e9"},
      {"\xE2\x82\xAC 5", L"\u20ac 5"},
      {"\xF0\x9F\x98\x80", Utf8ToWide("\xF0\x9F\x98\x80")},
      {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
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
    EXPECT_NE(wide.find(L'\uFFFD'), std::wstring::npos) << testing::PrintToString(bytes);
    for (wchar_t unit : wide.substr(1, wide.size() - 2)) EXPECT_EQ(unit, L'\uFFFD');
  }
}

}  // namespace
