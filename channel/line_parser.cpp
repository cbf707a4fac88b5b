#include "channel/line_parser.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/text.h"
#include "channel/utf8.h"

namespace {

constexpr size_t kNpos = std::string_view::npos;

// White space as strtod skips it in the classic locale.
bool IsClassicSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Every byte that strtod can consume after its leading white space: digits,
// letters (hex digits, exponents, inf, nan and its payload), point, signs,
// parentheses and underscore (nan payload).
bool MayBeNumberByte(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '+' ||
         c == '-' || c == '(' || c == ')' || c == '_';
}

// strtod of the text, which need not be NUL-terminated. strtod stops at the
// first byte outside MayBeNumberByte, so converting a NUL-terminated copy of
// that run gives exactly what strtod on the whole text would give.
std::optional<double> ConvertNumber(std::string_view text) {
  size_t begin = 0;
  while (begin < text.size() && IsClassicSpace(text[begin])) ++begin;
  size_t end = begin;
  while (end < text.size() && MayBeNumberByte(text[end])) ++end;
  if (end == begin) return std::nullopt;
  const std::string_view run = text.substr(begin, end - begin);

  char small[64];
  std::string large;
  const char* start = small;
  if (run.size() < sizeof small) {
    run.copy(small, run.size());
    small[run.size()] = '\0';
  } else {
    large.assign(run);
    start = large.c_str();
  }
  char* stop = nullptr;
  const double value = std::strtod(start, &stop);
  if (stop == start) return std::nullopt;
  return value;
}

// Index just after the first occurrence of the key in quotes, or kNpos. Runs
// once or twice per field on every object line: quotes are frequent there,
// so it walks the occurrences of the key's first byte with memchr and checks
// the quotes around each.
size_t FindQuotedKey(std::string_view line, std::string_view key) {
  const size_t width = key.size() + 2;
  if (line.size() < width) return kNpos;
  if (key.empty()) {
    const size_t at = line.find("\"\"");
    return at == kNpos ? kNpos : at + 2;
  }
  const size_t lastStart = line.size() - width + 1;  // last index the key itself may start at
  for (size_t at = 1; at <= lastStart;) {
    const void* hit = std::memchr(line.data() + at, key[0], lastStart - at + 1);
    if (hit == nullptr) return kNpos;
    const auto start = static_cast<size_t>(static_cast<const char*>(hit) - line.data());
    if (line[start - 1] == '"' && line[start + key.size()] == '"' &&
        line.compare(start + 1, key.size() - 1, key.substr(1)) == 0) {
      return start + key.size() + 1;
    }
    at = start + 1;
  }
  return kNpos;
}

// Index just after the first colon that follows the first "key" (quotes
// included), or kNpos.
size_t FindValueStart(std::string_view line, std::string_view key) {
  const size_t afterKey = FindQuotedKey(line, key);
  if (afterKey == kNpos) return kNpos;
  const size_t colon = line.find(':', afterKey);
  return colon == kNpos ? kNpos : colon + 1;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The UTF-16 unit of the four hex digits at line[at], or -1.
int32_t HexUnit(std::string_view line, size_t at) {
  if (at > line.size() || line.size() - at < 4) return -1;
  int32_t unit = 0;
  for (size_t k = 0; k < 4; ++k) {
    const int digit = HexDigit(line[at + k]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

// Decodes the \u escape whose four hex digits start at line[at] (already
// known to be valid) into out, together with a following \u low surrogate
// when the first unit is a high one; a lone surrogate gives U+FFFD
// (AppendUtf8). Returns the index after what it used.
size_t DecodeUnicodeEscape(std::string_view line, size_t at, std::string& out) {
  const auto unit = static_cast<char32_t>(HexUnit(line, at));
  size_t next = at + 4;
  char32_t cp = unit;
  if (unit >= 0xD800 && unit <= 0xDBFF && next + 1 < line.size() && line[next] == '\\' && line[next + 1] == 'u') {
    const int32_t low = HexUnit(line, next + 2);
    if (low >= 0xDC00 && low <= 0xDFFF) {
      cp = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
      next += 6;
    }
  }
  AppendUtf8(out, cp);
  return next;
}

// A byte count: decimal digits alone, at most kMaxByteCount; a sign, a
// fraction, an exponent or a quote makes it absent.
std::optional<uint64_t> ConvertCount(std::string_view text) {
  size_t end = 0;
  uint64_t value = 0;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
    value = value * 10 + static_cast<uint64_t>(text[end] - '0');
    if (value > kMaxByteCount) return std::nullopt;
    ++end;
  }
  if (end == 0) return std::nullopt;
  if (end < text.size() && (text[end] == '.' || text[end] == 'e' || text[end] == 'E' || text[end] == 'x' ||
                            text[end] == 'X')) {
    return std::nullopt;
  }
  return value;
}

// A count given as a word: digits and nothing else.
std::optional<uint64_t> WordCount(std::string_view word) {
  if (word.empty() || word.find_first_not_of("0123456789") != kNpos) return std::nullopt;
  return ConvertCount(word);
}

std::optional<uint64_t> CountField(std::string_view line, std::string_view key) {
  size_t at = FindValueStart(line, key);
  if (at == kNpos) return std::nullopt;
  while (at < line.size() && IsClassicSpace(line[at])) ++at;
  return ConvertCount(line.substr(at));
}

std::wstring StringField(std::string_view line, std::string_view key, std::string_view fallbackKey = {}) {
  std::optional<std::string> bytes = ExtractStringField(line, key);
  if (!bytes && !fallbackKey.empty()) bytes = ExtractStringField(line, fallbackKey);
  return bytes ? Utf8ToWide(*bytes) : std::wstring();
}

void FillFromObject(std::string_view line, LaunchEvent& event) {
  event.kind = StringField(line, "kind", "type");
  event.value = ExtractNumberField(line, "value");
  event.caption = StringField(line, "caption", "state");
  event.detail = StringField(line, "detail");
  event.text = StringField(line, "text", "status");
  event.bytes = CountField(line, "bytes");
  event.total = CountField(line, "total");
}

// Splits at the first space: the bytes before it, and the trimmed bytes after
// it (empty when there is no space). Only the space byte separates words.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
  const size_t space = text.find(' ');
  if (space == kNpos) return {text, {}};
  return {text.substr(0, space), TrimBlankView(text.substr(space + 1))};
}

void FillFromWords(std::string_view line, LaunchEvent& event) {
  const auto [head, rest] = SplitWord(line);
  event.kind = Utf8ToWide(head);
  if (head == "progress") {
    const auto [number, afterNumber] = SplitWord(rest);
    event.value = ConvertNumber(number);
    const auto [caption, detail] = SplitWord(afterNumber);
    event.caption = Utf8ToWide(caption);
    event.detail = Utf8ToWide(detail);
  } else if (head == "bytes") {
    // "bytes DONE [TOTAL]": the counts alone, no text.
    const auto [done, afterDone] = SplitWord(rest);
    const auto [total, ignored] = SplitWord(afterDone);
    event.bytes = WordCount(done);
    event.total = WordCount(total);
  } else {
    event.text = Utf8ToWide(rest);
    event.detail = event.text;
  }
}

// Cuts the field to kEventFieldUnits, dropping a high surrogate whose low
// half falls behind the cut, and gives the rest of the buffer back: an event
// may wait in the window's queue, and a flood of 1 MiB lines must not keep
// megabytes per event.
void CapField(std::wstring& field) {
  if (field.size() <= kEventFieldUnits) return;
  field.resize(kEventFieldUnits);
  if (field.back() >= 0xD800 && field.back() <= 0xDBFF) field.pop_back();
  field.shrink_to_fit();
}

}  // namespace

std::optional<std::string> ExtractStringField(std::string_view line, std::string_view key) {
  const size_t valueStart = FindValueStart(line, key);
  if (valueStart == kNpos) return std::nullopt;
  const size_t open = line.find('"', valueStart);
  if (open == kNpos) return std::nullopt;

  std::string value;
  size_t i = open + 1;
  for (;;) {
    size_t stop = i;
    while (stop < line.size() && line[stop] != '"' && line[stop] != '\\') ++stop;
    value.append(line.substr(i, stop - i));
    if (stop == line.size()) return std::nullopt;  // no closing quote
    if (line[stop] == '"') return value;
    if (stop + 1 == line.size()) return std::nullopt;  // line ends right after a backslash
    const char escaped = line[stop + 1];
    i = stop + 2;
    switch (escaped) {
      case 'n': value += '\n'; break;
      case 'r': value += '\r'; break;
      case 't': value += '\t'; break;
      case 'u':
        if (HexUnit(line, i) >= 0) {
          i = DecodeUnicodeEscape(line, i, value);
        } else {
          value += 'u';
        }
        break;
      default: value += escaped; break;  // \" \\ \/ and every other byte stand for themselves
    }
  }
}

std::optional<double> ExtractNumberField(std::string_view line, std::string_view key) {
  size_t at = FindValueStart(line, key);
  if (at == kNpos) return std::nullopt;
  while (at < line.size() && IsClassicSpace(line[at])) ++at;
  const std::string_view rest = line.substr(at);
  if (rest.substr(0, 4) == "null") return std::nullopt;
  return ConvertNumber(rest);
}

std::unique_ptr<LaunchEvent> ParseUpdaterLine(std::string_view line) {
  const std::string_view trimmed = TrimBlankView(line);
  if (trimmed.empty()) return nullptr;
  auto event = std::make_unique<LaunchEvent>();
  if (trimmed.front() == '{') {
    FillFromObject(trimmed, *event);
  } else {
    FillFromWords(trimmed, *event);
  }
  for (std::wstring* field : {&event->kind, &event->caption, &event->detail, &event->text}) CapField(*field);
  return event;
}
