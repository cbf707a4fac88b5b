#include "state/titles.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/graphemes.h"
#include "base/path_root.h"
#include "base/text.h"

namespace {

std::wstring PathStem(std::wstring_view path) {
  size_t start = ParsePathRoot(path).shortLength;
  while (start < path.size() && IsPathSeparator(path[start])) ++start;
  std::wstring_view rest = path.substr(start);
  size_t last = rest.find_last_of(L"\\/");
  std::wstring_view name = last == std::wstring_view::npos ? rest : rest.substr(last + 1);
  size_t colon = name.find(L':');
  if (colon != std::wstring_view::npos) name = name.substr(0, colon);  // alternate-stream suffix
  if (name == L"." || name == L"..") return std::wstring(name);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring_view::npos && dot != 0) name = name.substr(0, dot);
  return std::wstring(name);
}

// The title keeps the letters, marks, digits and numbers of every script
// and drops the rest. ASCII: letters, digits and ( ) + - . _ survive, every
// other character (space, control, punctuation) leaves a gap. Beyond ASCII
// the rule reads the first character of each grapheme cluster, and a kept
// cluster keeps its marks, variation selectors, emoji modifiers and joiners:
// - punctuation and symbols are gaps like their ASCII kin (quotes, brackets,
//   dashes, the ideographic full stop, currency signs, arrows, fullwidth
//   forms; the six ASCII marks above have no non-ASCII twins), except emoji
//   and the pictographs drawn as emoji, which survive whole with their ZWJ
//   sequences, flags and keycaps;
// - whitespace of any kind (no-break, ideographic, zero-width space), C1
//   controls, private-use code points, noncharacters and unpaired surrogates
//   never reach a title and leave a gap;
// - invisible format characters (bidi embeddings, overrides and isolates,
//   LRM and RLM, the soft hyphen, the word joiner, the byte-order mark,
//   tags outside emoji) vanish without a gap, so the word they sit in stays
//   whole, and so does a mark with no character before it; ZWJ and ZWNJ
//   survive only inside a word, after the character they join and before
//   another one.
// The table is an approximation of the Unicode categories for the scripts
// the window draws; code points it does not know survive.

constexpr CodeRange kInvisible[] = {
    {0x00AD, 0x00AD}, {0x0600, 0x0605}, {0x061C, 0x061C}, {0x06DD, 0x06DD}, {0x070F, 0x070F}, {0x08E2, 0x08E2},
    {0x180E, 0x180E}, {0x200C, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x206F}, {0xFEFF, 0xFEFF}, {0xFFF9, 0xFFFB},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF}};
constexpr CodeRange kGap[] = {
    {0x0080, 0x00A9}, {0x00AB, 0x00B1}, {0x00B4, 0x00B4}, {0x00B6, 0x00B8}, {0x00BB, 0x00BB}, {0x00BF, 0x00BF},
    {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x037E, 0x037E}, {0x0387, 0x0387}, {0x05BE, 0x05BE}, {0x05C0, 0x05C0},
    {0x05C3, 0x05C3}, {0x05C6, 0x05C6}, {0x05F3, 0x05F4}, {0x0606, 0x060F}, {0x061B, 0x061B}, {0x061D, 0x061F},
    {0x066A, 0x066D}, {0x06D4, 0x06D4}, {0x06DE, 0x06DE}, {0x06E9, 0x06E9}, {0x06FD, 0x06FE}, {0x0964, 0x0965},
    {0x0970, 0x0970}, {0x0E3F, 0x0E3F}, {0x0E4F, 0x0E4F}, {0x0E5A, 0x0E5B}, {0x1680, 0x1680}, {0x2000, 0x200B},
    {0x2010, 0x205F}, {0x207A, 0x207E}, {0x208A, 0x208E}, {0x20A0, 0x20CF}, {0x2190, 0x245F}, {0x2500, 0x2775},
    {0x2794, 0x2BFF}, {0x2E00, 0x2E7F}, {0x2FF0, 0x3004}, {0x3008, 0x3020}, {0x3036, 0x3037}, {0x303E, 0x303F},
    {0x30A0, 0x30A0}, {0x30FB, 0x30FB}, {0xD800, 0xF8FF}, {0xFDD0, 0xFDEF}, {0xFE10, 0xFE19}, {0xFE30, 0xFE6B},
    {0xFF01, 0xFF0F}, {0xFF1A, 0xFF20}, {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFE0, 0xFFEE}, {0xFFFC, 0xFFFF},
    {0xF0000, 0x10FFFF}};

enum class TitleChar { Kept, Gap, Vanishes };

// What becomes of a cluster by its first character.
TitleChar ClassifyClusterStart(char32_t c) {
  if (c < 0x80) {
    const auto a = static_cast<wchar_t>(c);
    const bool kept = IsAsciiLetter(a) || IsAsciiDigit(a) || a == L'(' || a == L')' || a == L'+' || a == L'-' ||
                      a == L'.' || a == L'_';
    return kept ? TitleChar::Kept : TitleChar::Gap;
  }
  // A mark with no character before it (at the start of the text) has
  // nothing to sit on.
  if (InRanges(c, kInvisible) || IsClusterExtender(c)) return TitleChar::Vanishes;
  if (IsPictographic(c)) return TitleChar::Kept;
  if (InRanges(c, kGap) || (c & 0xFFFE) == 0xFFFE || c > 0x10FFFF) return TitleChar::Gap;
  return TitleChar::Kept;
}

bool IsTag(char32_t c) { return c >= 0xE0000 && c <= 0xE007F; }

// A word never ends in ZWJ or ZWNJ.
void DropTrailingJoiners(std::wstring& text) {
  while (!text.empty() && (text.back() == L'\u200C' || text.back() == L'\u200D')) text.pop_back();
}

constexpr size_t kMaxTitleLength = 72;
constexpr const wchar_t* kFallbackTitle = L"Tarrow";

// Free start-up text -> a title of at most 72 units, never empty. A URL
// never becomes a title; a path gives the stem of its last component.
// ASCII text comes out as it always did: each of its units is a cluster.
std::wstring SanitizeTitle(std::wstring_view text) {
  std::wstring t = TrimBlank(text);
  if (t.empty()) return kFallbackTitle;
  for (wchar_t& c : t) {
    if (c == L'\r' || c == L'\t' || c == L'\n') c = L' ';
  }
  if (t.find(L"://") != std::wstring::npos) return kFallbackTitle;
  if (t.find_first_of(L"\\/") != std::wstring::npos) t = PathStem(t);

  std::wstring filtered;
  filtered.reserve(t.size());
  bool gap = false;
  size_t units = 1;
  for (size_t at = 0, end = 0; at < t.size(); at = end) {
    end = NextGraphemeBoundary(t, at);
    const char32_t first = CodePointAt(t, at);
    const TitleChar kind = ClassifyClusterStart(first);
    if (kind == TitleChar::Vanishes) continue;
    if (kind == TitleChar::Gap) {
      DropTrailingJoiners(filtered);
      gap = true;
      continue;
    }
    if (gap && !filtered.empty()) filtered.push_back(L' ');
    gap = false;
    for (size_t i = at; i < end; i += units) {
      const char32_t c = CodePointAt(t, i, &units);
      if (!IsTag(c) || IsPictographic(first)) filtered.append(t, i, units);
    }
  }
  DropTrailingJoiners(filtered);
  filtered = TrimBlank(filtered);
  if (filtered.empty()) return kFallbackTitle;
  if (filtered.size() > kMaxTitleLength) {
    // Cut at the last cluster boundary within the cap: never inside a
    // surrogate pair or a combining sequence. A single cluster longer than
    // the cap leaves nothing usable.
    size_t cut = 0;
    for (size_t next = NextGraphemeBoundary(filtered, 0); next <= kMaxTitleLength;
         next = NextGraphemeBoundary(filtered, next)) {
      cut = next;
    }
    if (cut == 0) return kFallbackTitle;
    filtered.resize(cut);
  }
  return filtered;
}

// The caption and header title: a product's own name when the title is just
// that product's name or executable, else the sanitised title itself. The
// folded key drops every non-ASCII character, so a title with words of
// another script beside the name ("Quenby 体験版") is more than the name and
// stays as it is.
std::wstring ResolveDisplayTitle(std::wstring_view title, const Profile& profile) {
  std::wstring t = SanitizeTitle(title);
  const bool ascii = std::all_of(t.begin(), t.end(), [](wchar_t c) { return c < 0x80; });
  return ascii && NamesProduct(FoldKey(t), profile) ? profile.displayName : t;
}

}  // namespace

AppIdentity DeriveAppIdentity(std::wstring startupText) {
  AppIdentity identity;
  identity.title = SanitizeTitle(startupText);
  identity.profile = FindProfile(identity.title);
  identity.displayTitle = ResolveDisplayTitle(identity.title, identity.profile);
  return identity;
}
