#pragma once
// Small text helpers shared by every layer: blank trimming in both widths,
// ASCII-only case mapping, code-point range tables and the folding of names
// into comparison keys.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Strips space, tab, CR and LF (and nothing else) from both ends. The views
// point into their argument.
std::wstring_view TrimBlankView(std::wstring_view text);
std::string_view TrimBlankView(std::string_view bytes);
std::wstring TrimBlank(std::wstring_view text);
std::string TrimBlank(std::string_view bytes);

// ASCII-only case mapping; every other unit is left as it is.
wchar_t AsciiLower(wchar_t c);
wchar_t AsciiUpper(wchar_t c);
bool IsAsciiLetter(wchar_t c);
bool IsAsciiDigit(wchar_t c);
bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);

// An inclusive range of code points, and whether one of a table holds `c`.
struct CodeRange {
  char32_t first, last;
};
template <size_t N>
bool InRanges(char32_t c, const CodeRange (&ranges)[N]) {
  for (const CodeRange& r : ranges) {
    if (c >= r.first && c <= r.last) return true;
  }
  return false;
}

// The decimal digits of `value` ("0", "42", "18446744073709551615"). Kept
// here rather than std::to_wstring, which formats through the C library's
// wide printf and would bring all of it into the launcher.
std::wstring DecimalText(uint64_t value);

// Lowers ASCII letters and keeps only a-z and 0-9: "Quenby.EXE" -> "quenbyexe".
// Profile names, step words and event kinds are compared by this key.
std::wstring FoldKey(std::wstring_view text);
