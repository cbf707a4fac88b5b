#include "base/graphemes.h"

#include <vector>

#include "base/text.h"

namespace {

// Marks that never start a cluster: nonspacing and enclosing marks of the
// scripts drawn, ZWNJ and ZWJ, variation selectors, emoji modifiers, tags.
constexpr CodeRange kExtend[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2}, {0x05C4, 0x05C5},
    {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670}, {0x06D6, 0x06DC}, {0x06DF, 0x06E4},
    {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x0900, 0x0902}, {0x093A, 0x093A}, {0x093C, 0x093C}, {0x0941, 0x0948},
    {0x094D, 0x094D}, {0x0951, 0x0957}, {0x0962, 0x0963}, {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},
    {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200C, 0x200D}, {0x20D0, 0x20FF}, {0x302A, 0x302F}, {0x3099, 0x309A},
    {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0x1F3FB, 0x1F3FF}, {0xE0020, 0xE007F}, {0xE0100, 0xE01EF}};
// Spacing marks: they follow their base, never start a cluster.
constexpr CodeRange kSpacingMark[] = {{0x0903, 0x0903}, {0x093B, 0x093B}, {0x093E, 0x0940}, {0x0949, 0x094C},
                                  {0x094E, 0x094F}, {0x0E33, 0x0E33}};
// Pictographs that ZWJ sequences join.
constexpr CodeRange kPictographic[] = {{0x00A9, 0x00A9}, {0x00AE, 0x00AE}, {0x203C, 0x203C}, {0x2049, 0x2049},
                                   {0x2122, 0x2122}, {0x2139, 0x2139}, {0x2194, 0x21AA}, {0x231A, 0x23FF},
                                   {0x25AA, 0x27BF}, {0x2934, 0x2935}, {0x2B05, 0x2B55}, {0x3030, 0x3030},
                                   {0x303D, 0x303D}, {0x3297, 0x3299}, {0x1F000, 0x1F1E5}, {0x1F200, 0x1F3FA},
                                   {0x1F400, 0x1FAFF}};

constexpr char32_t kZwj = 0x200D;
constexpr char32_t kVirama = 0x094D;

bool IsDevanagariConsonant(char32_t c) { return (c >= 0x0915 && c <= 0x0939) || (c >= 0x0958 && c <= 0x095F); }
bool IsRegionalIndicator(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

enum class Jamo { None, L, V, T, LV, LVT };
Jamo JamoOf(char32_t c) {
  if (c >= 0x1100 && c <= 0x115F) return Jamo::L;
  if (c >= 0x1160 && c <= 0x11A7) return Jamo::V;
  if (c >= 0x11A8 && c <= 0x11FF) return Jamo::T;
  if (c >= 0xAC00 && c <= 0xD7A3) return (c - 0xAC00) % 28 == 0 ? Jamo::LV : Jamo::LVT;
  return Jamo::None;
}

bool JamoJoins(Jamo before, Jamo after) {
  switch (before) {
    case Jamo::L:
      return after == Jamo::L || after == Jamo::V || after == Jamo::LV || after == Jamo::LVT;
    case Jamo::LV:
    case Jamo::V:
      return after == Jamo::V || after == Jamo::T;
    case Jamo::LVT:
    case Jamo::T:
      return after == Jamo::T;
    case Jamo::None:
      break;
  }
  return false;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0x3000; }

}  // namespace

bool IsPictographic(char32_t c) { return InRanges(c, kPictographic); }
bool IsClusterExtender(char32_t c) { return InRanges(c, kExtend) || InRanges(c, kSpacingMark); }

char32_t CodePointAt(std::wstring_view text, size_t index, size_t* units) {
  const auto high = static_cast<char32_t>(text[index]);
  if (high >= 0xD800 && high <= 0xDBFF && index + 1 < text.size()) {
    const auto low = static_cast<char32_t>(text[index + 1]);
    if (low >= 0xDC00 && low <= 0xDFFF) {
      if (units) *units = 2;
      return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
    }
  }
  if (units) *units = 1;
  return high;
}

size_t NextGraphemeBoundary(std::wstring_view text, size_t from) {
  if (from >= text.size()) return text.size();
  size_t units = 1;
  char32_t previous = CodePointAt(text, from, &units);
  size_t at = from + units;
  if (previous == U'\r') return at < text.size() && text[at] == L'\n' ? at + 1 : at;
  if (previous == U'\n') return at;
  const bool pictographicBase = IsPictographic(previous);
  bool sawConsonant = IsDevanagariConsonant(previous);
  int regionalCount = IsRegionalIndicator(previous) ? 1 : 0;
  while (at < text.size()) {
    const char32_t next = CodePointAt(text, at, &units);
    bool joins = IsClusterExtender(next);
    joins = joins || JamoJoins(JamoOf(previous), JamoOf(next));
    joins = joins || (previous == kZwj && pictographicBase && IsPictographic(next));
    joins = joins || (previous == kVirama && sawConsonant && IsDevanagariConsonant(next));
    if (!joins && regionalCount == 1 && IsRegionalIndicator(next)) {
      joins = true;
      regionalCount = 2;
    }
    if (!joins) break;
    sawConsonant = sawConsonant || IsDevanagariConsonant(next);
    previous = next;
    at += units;
  }
  return at;
}

std::wstring FitWithEllipsis(std::wstring_view text, double width, const TextMeasure& measure) {
  if (measure(text) <= width) return std::wstring(text);
  std::vector<size_t> ends;  // cluster boundaries, blanks before them dropped
  for (size_t at = NextGraphemeBoundary(text, 0); at < text.size(); at = NextGraphemeBoundary(text, at)) {
    size_t end = at;
    while (end > 0 && IsBlank(text[end - 1])) --end;
    if (end > 0 && (ends.empty() || ends.back() != end)) ends.push_back(end);
  }
  // Widths grow with the prefix: the last prefix that fits, by bisection.
  std::wstring best = L"\u2026";
  size_t low = 0, high = ends.size();
  while (low < high) {
    const size_t middle = (low + high) / 2;
    std::wstring candidate(text.substr(0, ends[middle]));
    candidate += L'\u2026';
    if (measure(candidate) <= width) {
      best = std::move(candidate);
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return best;
}
