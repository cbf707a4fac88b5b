#pragma once
// The updater line format. A line is either a flat object ("{...}") whose
// fields are picked out by key with a plain textual search, or plain words
// ("progress 0.42 DOWNLOAD Downloading runtime"). Pure functions without
// shared state: both reader threads call them at the same time.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "channel/launch_event.h"

// The quoted string after the first textual occurrence of "key" and the next
// colon after it; nothing about nesting or string boundaries is examined.
// Escapes: \" \\ \n \r \t as usual; \uXXXX becomes that UTF-16 unit in UTF-8
// (a surrogate pair one character, a lone surrogate U+FFFD); a \u without
// four hex digits gives the letter u; any other escaped byte stands for
// itself. nullopt when the key, the colon, the opening or the closing quote
// is missing. The result stays bytes.
std::optional<std::string> ExtractStringField(std::string_view line, std::string_view key);

// The number after the first "key" and the next colon, converted as strtod
// does in the classic locale; nullopt for null, a quoted value, true, false or
// anything strtod does not take. Bytes after the number are ignored.
std::optional<double> ExtractNumberField(std::string_view line, std::string_view key);

// The most UTF-16 units an event's text field keeps (kind, caption, detail,
// text each): the painted lines show a few dozen, and a longer field would
// only cost time on every paint. A cut never splits a surrogate pair.
inline constexpr size_t kEventFieldUnits = 4096;

// One line, without its LF (a trailing CR is trimmed). nullptr for a blank
// line; every other line yields exactly one event, whatever it holds. Each
// text field is cut to kEventFieldUnits.
std::unique_ptr<LaunchEvent> ParseUpdaterLine(std::string_view line);
