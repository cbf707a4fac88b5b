#pragma once
// JSON output for the replay tool: strings escaped and written as UTF-8,
// numbers in their shortest round-trip form.
#include <optional>
#include <string>
#include <string_view>

// Appends `text` as a quoted JSON string: quote, backslash and the control
// characters below U+0020 are escaped, everything else is raw UTF-8.
void AppendJsonString(std::string& out, std::wstring_view text);

// Appends the shortest decimal form that reads back to the same double. An
// absent value is null. JSON has no spelling for the infinities, so they are
// written as 1e999 and -1e999, numbers that overflow back to them when read;
// NaN, which no number reads back to, is written as null.
void AppendJsonNumber(std::string& out, std::optional<double> value);
