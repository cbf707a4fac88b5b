#pragma once
// Small text helpers on the system's UTF-16 strings (std::wstring).
#include <string>
#include <string_view>

// Strips space, tab, CR and LF (and nothing else) from both ends.
std::wstring TrimBlank(std::wstring_view text);

// ASCII-only case mapping; every other unit is left as it is.
wchar_t AsciiLower(wchar_t c);
wchar_t AsciiUpper(wchar_t c);
bool IsAsciiLetter(wchar_t c);
bool IsAsciiDigit(wchar_t c);
