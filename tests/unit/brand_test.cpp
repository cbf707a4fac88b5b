#include "state/brand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const std::string kGrin = "\U0001F600";  // two UTF-16 units

template <typename Text>
Text Repeat(const Text& part, int times) {
  Text text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

std::vector<std::string> Described(const std::vector<BrandProblem>& problems) {
  std::vector<std::string> lines;
  for (const BrandProblem& p : problems) lines.push_back(DescribeBrandProblem(p));
  return lines;
}

// A good text: its warnings, the record ReadBrand makes of it, and that
// record as the launcher's resources carry it, which reads back as the
// record without its paths.
TEST(BrandTest, ReadsGoodTextsAndWritesTheirResourceText) {
  const struct {
    const char* label;
    std::string text;
    std::vector<std::string> warnings;
    Brand brand;
    std::string resourceText;
  } cases[] = {
      {"an unknown key, the rest at defaults", "name = A\ncolour = #fff\n", {"line 2: colour: unknown key, ignored"},
       {L"A", L"", L"", std::nullopt, std::nullopt, BrandTheme::Dark, L"", L"", L""}, "name = A\ntheme = dark\n"},
      {"every key: BOM, CRLF, comments, blanks, any key case, '=' in a value",
       "\xEF\xBB\xBF# Brand\r\n\r\n  Name =\t\u0421\u0435\u0432\u0435\u0440 \u0432\u0435\u0442\u0435\u0440 \r\n"
       "badge=\u0421\u0412\r\nheader = Start = soon\r\naccent = #1e6fD9\r\naccent-end=#000000\r\nTHEME = Light\r\n"
       "picture = art/wide.png\r\npicture@2x = art/wide@2x.png\r\nicon = art\\app.ico", {},
       {L"\u0421\u0435\u0432\u0435\u0440 \u0432\u0435\u0442\u0435\u0440", L"\u0421\u0412", L"Start = soon", 0xFF1E6FD9u,
        0xFF000000u, BrandTheme::Light, L"art/wide.png", L"art/wide@2x.png", L"art\\app.ico"},
       "name = \u0421\u0435\u0432\u0435\u0440 \u0432\u0435\u0442\u0435\u0440\nbadge = \u0421\u0412\n"
       "header = Start = soon\naccent = #1E6FD9\naccent-end = #000000\ntheme = light\n"},
      {"72 units of surrogate pairs, a badge of two clusters (emoji with its tone, a Devanagari conjunct)",
       "name = " + Repeat(kGrin, 36) + "\ntheme = system\nbadge = \U0001F44D\U0001F3FD\u0915\u094D\u0937\n", {},
       {Repeat<std::wstring>(L"\U0001F600", 36), L"\U0001F44D\U0001F3FD\u0915\u094D\u0937", L"", std::nullopt,
        std::nullopt, BrandTheme::System, L"", L"", L""},
       "name = " + Repeat(kGrin, 36) + "\nbadge = \U0001F44D\U0001F3FD\u0915\u094D\u0937\ntheme = system\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const BrandReading reading = ReadBrand(c.text);
    EXPECT_EQ(Described(reading.errors), std::vector<std::string>{});
    EXPECT_EQ(Described(reading.warnings), c.warnings);
    EXPECT_TRUE(reading.brand == c.brand) << BrandResourceText(reading.brand);
    EXPECT_EQ(BrandResourceText(c.brand), c.resourceText);
    Brand withoutPaths = c.brand;
    withoutPaths.picture = withoutPaths.picture2x = withoutPaths.icon = L"";
    const BrandReading again = ReadBrand(c.resourceText);
    EXPECT_TRUE(again.errors.empty() && again.warnings.empty() && again.brand == withoutPaths);
  }
}

// A text with errors: every one as described, by line and those of no line
// last, and an empty record.
TEST(BrandTest, NamesEachErrorInLineOrder) {
  const struct {
    const char* label;
    std::string text;
    std::vector<std::string> errors;
  } cases[] = {
      {"a 2x picture alone (found last), bad colours and theme, sorted before the missing name",
       "picture@2x = b.png\naccent = #1234\naccent-end = #1234567\ntheme = x\n",
       {"line 1: picture@2x: given without picture, the 1x picture",
        "line 2: accent: \"#1234\" is not a #RRGGBB colour", "line 3: accent-end: \"#1234567\" is not a #RRGGBB colour",
        "line 4: theme: \"x\" is not dark, light or system", "name: missing; a brand names its product (name = ...)"}},
      {"empty and duplicate", "name =\nbadge = A\nBadge = B\n",
       {"line 1: name: has no value", "line 3: badge: given twice (first on line 2)"}},
      {"a name of 73 units, its surrogate pairs counting twice, quoted to 40 code points",
       "name = " + std::string(33, 'n') + Repeat(kGrin, 20),
       {"line 1: name: \"" + std::string(33, 'n') + Repeat(kGrin, 7) +
        "\u2026\" is 73 UTF-16 units long; at most 72 fit"}},
      {"a badge of three clusters", "name = A\nbadge = e\u0301x\u0301y\n",
       {"line 2: badge: \"e\u0301x\u0301y\" is more than 2 characters; a badge has 1 or 2"}},
      {"lines that are not key = value", "name = A\njust words\n= value\nna me = x\nbad\x01line",
       {"line 2: \"just words\" is not a \"key = value\" line", "line 3: \"= value\" is not a \"key = value\" line",
        "line 4: \"na me = x\" is not a \"key = value\" line", "line 5: \"bad?line\" is not a \"key = value\" line"}},
      {"malformed UTF-8: cut, overlong, a surrogate, in a comment, in a key",
       "name = \xC3(\nheader = \xC0\xAF\nbadge = \xED\xA0\x80\n# \xFF\nk\xFF = 1",
       {"line 1: name: the value is not valid UTF-8", "line 2: header: the value is not valid UTF-8",
        "line 3: badge: the value is not valid UTF-8", "line 4: the comment is not valid UTF-8",
        "line 5: the line is not valid UTF-8"}},
      {"control characters, a lone CR between lines included",
       "name = a\0b\nheader = a\tb\nbadge = \xC2\x85\naccent = #000000\rtheme = dark"s,
       {"line 1: name: the value holds a control character", "line 2: header: the value holds a control character",
        "line 3: badge: the value holds a control character", "line 4: accent: the value holds a control character"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const BrandReading reading = ReadBrand(c.text);
    EXPECT_EQ(Described(reading.errors), c.errors);
    EXPECT_EQ(Described(reading.warnings), std::vector<std::string>{});
    EXPECT_TRUE(reading.brand == Brand{}) << BrandResourceText(reading.brand);
  }
}

}  // namespace
