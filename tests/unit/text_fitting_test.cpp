// The ellipsis rule at grapheme-cluster boundaries, the runs by script and the
// paragraph direction the text path draws by, and the fallback table's shape.
#include <gtest/gtest.h>

#include <optional>

#include "base/graphemes.h"
#include "ui/paint/font_fallback.h"

namespace {

TEST(TextFittingTest, EllipsisCutsAtWholeClusters) {
  // Every UTF-16 unit is one unit wide (a code point beyond the BMP two, also
  // where wchar_t holds it whole): a cut inside a cluster would fit better,
  // so the rule shows itself. text, box width, expected
  const std::tuple<std::wstring, double, std::wstring> cases[] = {
      {L"abcdef", 6, L"abcdef"},
      {L"abcdef", 4, L"abc\u2026"},
      {L"ab cdef", 4, L"ab\u2026"},                                  // no blank before the ellipsis
      {L"abc", 0, L"\u2026"},                                        // nothing fits: the ellipsis alone
      {L"e\u0301e\u0301x", 4, L"e\u0301\u2026"},                     // combining accent stays with its e
      {L"a\U0001F600\U0001F600", 3, L"a\u2026"},                     // never half a surrogate pair
      {L"a\U0001F600\U0001F600", 4, L"a\U0001F600\u2026"},
      {L"x\U0001F468\u200D\U0001F469\u200D\U0001F467y", 9, L"x\u2026"},  // ZWJ family is one cluster
      {L"\U0001F44D\U0001F3FDok", 5, L"\U0001F44D\U0001F3FD\u2026"},     // skin tone stays with the hand
      {L"\u2764\uFE0F\u2764\uFE0F", 3, L"\u2764\uFE0F\u2026"},           // variation selector
      {L"\U0001F1EF\U0001F1F5\U0001F1F0\U0001F1F7", 6, L"\U0001F1EF\U0001F1F5\u2026"},  // flags in pairs
      {L"\u0915\u094D\u0937\u093E\u0915", 4, L"\u2026"},             // Devanagari conjunct with its vowel sign
      {L"\u0E01\u0E33\u0E25", 2, L"\u2026"},             // Thai sara am follows its consonant
      {L"\u1100\u1161\u11A8\u1100\u1161", 4, L"\u1100\u1161\u11A8\u2026"},  // Hangul jamo syllable
      {L"a\r\nb", 3, L"a\u2026"},
  };
  for (const auto& [text, width, expected] : cases) {
    const std::wstring fitted = FitWithEllipsis(text, width, [](std::wstring_view t) {
      double units = 0;
      for (size_t i = 0, n = 1; i < t.size(); i += n) units += CodePointAt(t, i, &n) > 0xFFFF ? 2 : 1;
      return units;
    });
    EXPECT_EQ(fitted, expected) << testing::PrintToString(text);
  }
}

TEST(TextFittingTest, RunsByScriptAndParagraphDirection) {
  using S = FallbackScript;
  // Neutral characters join the run before them; leading ones the first run.
  const std::pair<std::wstring, std::vector<ScriptRun>> cases[] = {
      {L"", {}},
      {L"40% ok", {{0, 6, S::Latin}}},
      {L"Get \u66F4\u65B0\u3092 3", {{0, 4, S::Latin}, {4, 9, S::Kana}}},
      {L"\u66F4\u65B0 \uC5C5", {{0, 4, S::Hangul}}},
      {L"\u6B63\u5728 1", {{0, 4, S::HanSimplified}}},
      {L"1 \u062C\u0627\u0631 Run", {{0, 6, S::Arabic}, {6, 9, S::Latin}}},
      {L"ok \u2764\uFE0F!", {{0, 3, S::Latin}, {3, 6, S::Emoji}}},
      {L"\u0391\u0416\u05D0\u0915\u0E01", {{0, 1, S::Greek}, {1, 2, S::Cyrillic}, {2, 3, S::Hebrew},
                                           {3, 4, S::Devanagari}, {4, 5, S::Thai}}},
  };
  for (const auto& [text, runs] : cases) EXPECT_EQ(SplitByScript(text), runs) << testing::PrintToString(text);

  // The reader's language decides Han, also beside kana; the window's
  // language first, then the preferred ones; none of them East Asian: the line.
  const std::pair<std::vector<std::wstring_view>, std::optional<S>> readers[] = {
      {{L"ja"}, S::Kana},          {{L"zh-Hant"}, S::HanTraditional}, {{L"en", L"zh_TW"}, S::HanTraditional},
      {{L"zh-HK"}, S::HanTraditional}, {{L"zh-Hans-HK"}, S::HanSimplified}, {{L"ko-KR", L"ja"}, S::Hangul},
      {{L"de", L"fr"}, std::nullopt},  {{L"jam"}, std::nullopt},
  };
  for (const auto& [tags, han] : readers) EXPECT_EQ(HanForLanguages(tags), han) << testing::PrintToString(tags);
  EXPECT_EQ(SplitByScript(L"\u66F4\u65B0\u3092", S::HanTraditional),
            (std::vector<ScriptRun>{{0, 2, S::HanTraditional}, {2, 3, S::Kana}}));

  const std::pair<std::wstring, bool> directions[] = {
      {L"", false},          {L"Runtime \u062C\u0627\u0631", false}, {L"40% \u062C\u0627\u0631 Runtime", true},
      {L"\U0001F44D \u05E9\u05DC", true}, {L"\u2026 12", false},
  };
  for (const auto& [text, rtl] : directions) EXPECT_EQ(StartsRightToLeft(text), rtl) << testing::PrintToString(text);
}

// The text path looks a script's row up by its number.
TEST(TextFittingTest, FallbackTableHasOneRowPerScriptInOrderWithBothFamilies) {
  const auto& table = FontFallbackTable();
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(static_cast<size_t>(table[i].script), i);
    EXPECT_TRUE(table[i].windows != nullptr && table[i].noto != nullptr) << i;
  }
}

}  // namespace
