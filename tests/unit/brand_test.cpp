#include "state/brand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

template <typename Text>
Text Repeat(const Text& part, int times) {
  Text text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

// A brand text and what ReadBrand makes of it: every error as described, the
// warnings, and the record when there is no error.
struct BrandCase {
  const char* label;
  std::string text;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  Brand brand;
};

Brand Named(const wchar_t* name) {
  Brand brand;
  brand.name = name;
  return brand;
}

std::vector<std::string> Described(const std::vector<BrandProblem>& problems) {
  std::vector<std::string> lines;
  for (const BrandProblem& p : problems) lines.push_back(DescribeBrandProblem(p));
  return lines;
}

TEST(BrandTest, ReadsGoodTextsAndNamesEachFieldsError) {
  const std::string grin = "\U0001F600";  // two UTF-16 units
  const BrandCase cases[] = {
      {"only a name", "name = Acme", {}, {}, Named(L"Acme")},
      {"every key: BOM, CRLF, comments, blanks, any key case, '=' in a value",
       "\xEF\xBB\xBF# Brand\r\n\r\n  Name =\t\u0421\u0435\u0432\u0435\u0440 \u0432\u0435\u0442\u0435\u0440 \r\n"
       "badge=\u0421\u0412\r\nheader = Start = soon\r\naccent = #1e6fD9\r\naccent-end=#000000\r\nTHEME = Light\r\n"
       "picture = art/wide.png\r\npicture@2x = art/wide@2x.png\r\nicon = art\\app.ico",
       {},
       {},
       {L"\u0421\u0435\u0432\u0435\u0440 \u0432\u0435\u0442\u0435\u0440", L"\u0421\u0412", L"Start = soon", 0xFF1E6FD9u,
        0xFF000000u, BrandTheme::Light, L"art/wide.png", L"art/wide@2x.png", L"art\\app.ico"}},
      {"72 units of surrogate pairs, a badge of two clusters (emoji with its tone, a Devanagari conjunct)",
       "name = " + Repeat(grin, 36) + "\ntheme = system\nbadge = \U0001F44D\U0001F3FD\u0915\u094D\u0937\n",
       {},
       {},
       {Repeat<std::wstring>(L"\U0001F600", 36), L"\U0001F44D\U0001F3FD\u0915\u094D\u0937", L"", std::nullopt,
        std::nullopt, BrandTheme::System, L"", L"", L""}},
      {"unknown key", "name = A\ncolour = #fff\n", {}, {"line 2: colour: unknown key, ignored"}, Named(L"A")},
      {"nothing", "", {"name: missing; a brand names its product (name = ...)"}, {}, {}},
      {"line errors first, the missing name last",
       "accent = #12345\naccent-end = #1234567\ntheme = blue\n",
       {"line 1: accent: \"#12345\" is not a #RRGGBB colour",
        "line 2: accent-end: \"#1234567\" is not a #RRGGBB colour",
        "line 3: theme: \"blue\" is not dark, light or system",
        "name: missing; a brand names its product (name = ...)"},
       {},
       {}},
      {"empty and duplicate",
       "name =\nbadge = A\nBadge = B\n",
       {"line 1: name: has no value", "line 3: badge: given twice (first on line 2)"},
       {},
       {}},
      {"names over 72 units",
       "name = " + std::string(73, 'n'),
       {"line 1: name: \"" + std::string(40, 'n') + "\u2026\" is 73 UTF-16 units long; at most 72 fit"},
       {},
       {}},
      {"surrogate pairs count twice",
       "name = " + Repeat(grin, 37),
       {"line 1: name: \"" + Repeat(grin, 37) + "\" is 74 UTF-16 units long; at most 72 fit"},
       {},
       {}},
      {"badges of three clusters",
       "name = A\nbadge = e\u0301x\u0301y\n",
       {"line 2: badge: \"e\u0301x\u0301y\" is more than 2 characters; a badge has 1 or 2"},
       {},
       {}},
      {"lines that are not key = value",
       "name = A\njust words\n= value\nna me = x\nbad\x01line",
       {"line 2: \"just words\" is not a \"key = value\" line", "line 3: \"= value\" is not a \"key = value\" line",
        "line 4: \"na me = x\" is not a \"key = value\" line", "line 5: \"bad?line\" is not a \"key = value\" line"},
       {},
       {}},
      {"malformed UTF-8: cut, overlong, a surrogate, in a comment, in a key",
       "name = \xC3(\nheader = \xC0\xAF\nbadge = \xED\xA0\x80\n# \xFF\nk\xFF = 1",
       {"line 1: name: the value is not valid UTF-8", "line 2: header: the value is not valid UTF-8",
        "line 3: badge: the value is not valid UTF-8", "line 4: the comment is not valid UTF-8",
        "line 5: the line is not valid UTF-8"},
       {},
       {}},
      {"control characters, a lone CR between lines included",
       "name = a\0b\nheader = a\tb\nbadge = \xC2\x85\naccent = #000000\rtheme = dark"s,
       {"line 1: name: the value holds a control character", "line 2: header: the value holds a control character",
        "line 3: badge: the value holds a control character", "line 4: accent: the value holds a control character"},
       {},
       {}},
      {"a 2x picture alone, found last, sorted among the line errors before the missing name",
       "picture@2x = b.png\ntheme = blue\n",
       {"line 1: picture@2x: given without picture, the 1x picture",
        "line 2: theme: \"blue\" is not dark, light or system", "name: missing; a brand names its product (name = ...)"},
       {},
       {}},
  };
  for (const BrandCase& c : cases) {
    SCOPED_TRACE(c.label);
    const BrandReading reading = ReadBrand(c.text);
    EXPECT_EQ(Described(reading.errors), c.errors);
    EXPECT_EQ(Described(reading.warnings), c.warnings);
    if (c.errors.empty()) {
      EXPECT_TRUE(reading.brand == c.brand) << BrandResourceText(reading.brand);
    }
  }
}

// What the launcher's resources carry, and that it reads back as the record.
TEST(BrandTest, ResourceTextIsNormalisedAndReadsBack) {
  const Brand brand{L"\u5317\u98A8",    L"\u5317",   L"Start",       0xFF0A0B0Cu, 0xFFFFEE01u,
                    BrandTheme::System, L"wide.png", L"wide@2x.png", L"app.ico"};
  const std::string text = BrandResourceText(brand);
  EXPECT_EQ(text,
            "name = \u5317\u98A8\nbadge = \u5317\nheader = Start\naccent = #0A0B0C\naccent-end = #FFEE01\n"
            "theme = system\n");
  Brand withoutPaths = brand;
  withoutPaths.picture = withoutPaths.picture2x = withoutPaths.icon = L"";
  const BrandReading reading = ReadBrand(text);
  EXPECT_TRUE(reading.errors.empty() && reading.warnings.empty());
  EXPECT_TRUE(reading.brand == withoutPaths);
  EXPECT_EQ(BrandResourceText(Named(L"A")), "name = A\ntheme = dark\n");
}

}  // namespace
