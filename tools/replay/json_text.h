#pragma once
// JSON output for the replay tool: strings escaped and written as UTF-8,
// numbers in their shortest round-trip form.
#include <optional>
#include <string>
#include <string_view>

// Wide text to UTF-8. UTF-16 where wchar_t has 16 bits (a lone surrogate
// becomes U+FFFD), code points where it has 32 bits (values past U+10FFFF or
// in the surrogate range become U+FFFD), so both builds write the same bytes.
std::string WideToUtf8(std::wstring_view text);

// Appends `text` as a quoted JSON string: quote, backslash and the control
// characters below U+0020 are escaped, everything else is raw UTF-8.
void AppendJsonString(std::string& out, std::wstring_view text);

// Appends the shortest decimal form that reads back to the same double. An
// absent value is null. JSON has no spelling for the infinities, so they are
// written as 1e999 and -1e999, numbers that overflow back to them when read;
// NaN, which no number reads back to, is written as null.
void AppendJsonNumber(std::string& out, std::optional<double> value);
