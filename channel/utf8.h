#pragma once
// Conversion between updater bytes and the system's wide strings: fields of
// an updater line stay bytes until they are stored in a LaunchEvent; text
// written out (the replay tool's JSON, a tool's messages) goes back to UTF-8.
#include <string>
#include <string_view>

// Decodes UTF-8; malformed sequences become U+FFFD, so a field is never left
// empty just because its bytes are not valid UTF-8. On Windows the platform
// converter does the work (utf8_win.cpp), elsewhere utf8.cpp: UTF-16 where
// wchar_t has 16 bits and one unit per code point where it has 32 bits, so
// wide literals compare equal in both builds.
std::wstring Utf8ToWide(std::string_view bytes);

// Appends one code point as UTF-8; a surrogate or a value past U+10FFFF
// becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// Wide text to UTF-8: UTF-16 where wchar_t has 16 bits (a lone surrogate
// becomes U+FFFD), code points where it has 32 bits, so both builds write the
// same bytes.
std::string WideToUtf8(std::wstring_view text);
