#pragma once
// Which font family draws which script. A label is cut into runs of one
// script each; a run is drawn with the slot's own family when that has every
// glyph, else with the first family of its row below that has them. Each row
// names the family Windows 10 and 11 ship first and the Noto family of
// Debian's fonts-noto packages (the test rig under Wine) second. Portable.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

enum class FallbackScript {
  Latin,
  Greek,
  Cyrillic,
  Arabic,
  Hebrew,
  Devanagari,
  Thai,
  HanSimplified,
  HanTraditional,
  Kana,
  Hangul,
  Emoji,
};
inline constexpr size_t kFallbackScriptCount = 12;

struct FallbackFamilies {
  FallbackScript script;
  std::wstring_view name;     // for tables and reports
  const wchar_t* windows;     // stock on Windows 10 and 11
  const wchar_t* noto;        // Debian's fonts-noto-core, -cjk (the tests' fonts)
};

// One row per script, in the enumeration's order.
const std::array<FallbackFamilies, kFallbackScriptCount>& FontFallbackTable();

// A run of text [begin, end) for one script. Blanks, digits, punctuation and
// marks join the run before them (the first run when they lead), so a run
// never splits a grapheme cluster.
struct ScriptRun {
  size_t begin = 0;
  size_t end = 0;
  FallbackScript script = FallbackScript::Latin;
  bool operator==(const ScriptRun&) const = default;
};
// Han takes `han` when given (the reader's language decides the glyph forms:
// HanForLanguages); else the line's other East Asian script: Kana makes it
// Japanese, Hangul Korean, neither Simplified Chinese.
std::vector<ScriptRun> SplitByScript(std::wstring_view text, std::optional<FallbackScript> han = std::nullopt);

// The row whose face draws Han for a reader of these languages, the window's
// first and then the user's preferred UI languages in order: Japanese (ja)
// the Kana row's JP face, Korean (ko) the Hangul row's KR face, Traditional
// Chinese (zh-Hant, zh-TW, zh-HK, zh-MO) the TC face, other Chinese (zh,
// zh-Hans, zh-CN, zh-SG) the SC face. Nullopt when none of them is one of
// these: the line's own script decides then. Tags match without regard to
// case, '_' or '-'.
std::optional<FallbackScript> HanForLanguages(const std::vector<std::wstring_view>& tags);

// Whether the paragraph reads right to left: its first strong character
// (a letter) is Hebrew or Arabic. Digits, blanks, punctuation and emoji are
// not strong; a text without a strong character reads left to right.
bool StartsRightToLeft(std::wstring_view text);
