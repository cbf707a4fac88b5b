#pragma once
// User-perceived characters (grapheme clusters) in UTF-16 text, and the one
// rule for text wider than its box: cut at a whole cluster and end in "…".
// A close approximation of the extended grapheme clusters of UAX #29 for the
// scripts the window draws: surrogate pairs, CR LF, combining and spacing
// marks, variation selectors, emoji modifiers, tags and ZWJ sequences,
// regional-indicator pairs, Hangul jamo and Devanagari conjuncts stay whole.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The code point starting at `index` (a lone surrogate stands for itself);
// `units` receives 1 or 2.
char32_t CodePointAt(std::wstring_view text, size_t index, size_t* units = nullptr);

// The end of the cluster that starts at `from` (text.size() at the end).
size_t NextGraphemeBoundary(std::wstring_view text, size_t from);

// Emoji and the pictographs drawn as emoji, the characters ZWJ sequences join.
bool IsPictographic(char32_t c);

// Marks, joiners, variation selectors, emoji modifiers and tags: they belong
// to the character before them; one at the start of a text has none.
bool IsClusterExtender(char32_t c);

// Width of a text in any unit; it must not shrink when text is appended.
using TextMeasure = std::function<double(std::wstring_view)>;

// The text drawn in a box `width` wide: the whole text when it fits, else the
// longest prefix ending at a cluster boundary, blanks at its end dropped,
// followed by U+2026 that fits; the ellipsis alone when nothing else does.
std::wstring FitWithEllipsis(std::wstring_view text, double width, const TextMeasure& measure);
