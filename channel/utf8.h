#pragma once
// Conversion of updater bytes to the system's wide strings. Fields of an
// updater line stay bytes until they are stored in a LaunchEvent; this is the
// one place where they become wide text.
#include <string>
#include <string_view>

// Decodes UTF-8; malformed sequences become U+FFFD, so a field is never left
// empty just because its bytes are not valid UTF-8. Only when the UTF-8
// conversion yields nothing are the bytes read in the ANSI code page instead
// (off Windows: Latin-1). Empty input gives an empty string.
//
// On Windows the platform converter does the work (utf8_win.cpp). Elsewhere
// (utf8.cpp) the result is UTF-16 where wchar_t has 16 bits and one unit per
// code point where it has 32 bits, so wide literals compare equal in both
// builds.
std::wstring Utf8ToWide(std::string_view bytes);
