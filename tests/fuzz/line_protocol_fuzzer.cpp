// Feeds arbitrary bytes through the line splitter, in several chunkings, and
// every line through the parser. Besides the sanitizers it checks what must
// hold for any input:
// - the lines do not depend on how the stream is cut into reads;
// - no line contains an LF, and only blank lines yield no event;
// - the object form stores what ExtractStringField returns, cut to the field
//   cap (never inside a surrogate pair), and no field exceeds the cap;
// - \u decoding of a pure ASCII line yields well-formed UTF-8;
// - the portable decoder yields only Unicode scalar values.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "channel/line_parser.h"
#include "channel/line_splitter.h"
#include "channel/utf8.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

std::vector<std::string> SplitInChunks(std::string_view stream, uint64_t seed, size_t fixedChunk) {
  LineSplitter splitter;
  std::vector<std::string> lines;
  auto collect = [&](std::string_view line) { lines.emplace_back(line); };
  while (!stream.empty()) {
    size_t n = fixedChunk;
    if (n == 0) {
      seed = seed * 6364136223846793005u + 1442695040888963407u;
      n = 1 + static_cast<size_t>((seed >> 33) % 512);
    }
    if (n > stream.size()) n = stream.size();
    splitter.Feed(stream.substr(0, n), collect);
    stream.remove_prefix(n);
  }
  if (auto last = splitter.Finish()) lines.push_back("\n" + *last);  // the LF marks the remainder
  return lines;
}

bool IsAscii(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Strict UTF-8 check (no overlong forms, no surrogates, nothing above
// U+10FFFF). The portable decoder turns every malformed part into U+FFFD, so
// bytes are well-formed exactly when decoding yields no more U+FFFD than the
// bytes spell out themselves (EF BF BD). Native builds only.
bool IsWellFormedUtf8(std::string_view bytes) {
  size_t spelled = 0;
  for (size_t at = bytes.find("\xEF\xBF\xBD"); at != std::string_view::npos; at = bytes.find("\xEF\xBF\xBD", at + 3))
    ++spelled;
  size_t decoded = 0;
  for (wchar_t unit : Utf8ToWide(bytes))
    if (unit == L'\uFFFD') ++decoded;
  return decoded == spelled;
}

void CheckWide(const std::wstring& wide) {
  for (wchar_t unit : wide) {
    const auto cp = static_cast<char32_t>(unit);
    Require(cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF));
  }
}

// The stored field is the decoded one, whole, or cut at the cap or one unit
// before it (a surrogate pair is not split).
bool StoredAsCapped(const std::wstring& stored, const std::wstring& decoded) {
  if (decoded.size() <= kEventFieldUnits) return stored == decoded;
  return stored.size() + 1 >= kEventFieldUnits && decoded.compare(0, stored.size(), stored) == 0;
}

void CheckLine(std::string_view line) {
  Require(line.find('\n') == std::string_view::npos);
  const std::unique_ptr<LaunchEvent> event = ParseUpdaterLine(line);
  const std::string trimmed = TrimBlank(line);
  Require((event == nullptr) == trimmed.empty());
  if (!event) return;
  for (const std::wstring* field : {&event->kind, &event->caption, &event->detail, &event->text}) {
    CheckWide(*field);
    Require(field->size() <= kEventFieldUnits);
  }
  if (trimmed.front() != '{') return;

  const std::optional<std::string> kind = ExtractStringField(trimmed, "kind");
  const std::optional<std::string> detail = ExtractStringField(trimmed, "detail");
  if (kind) Require(StoredAsCapped(event->kind, Utf8ToWide(*kind)));
  Require(StoredAsCapped(event->detail, detail ? Utf8ToWide(*detail) : std::wstring()));
  const std::optional<double> value = ExtractNumberField(trimmed, "value");
  Require(event->value.has_value() == value.has_value());
  if (IsAscii(trimmed)) {
    if (kind) Require(IsWellFormedUtf8(*kind));
    if (detail) Require(IsWellFormedUtf8(*detail));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view stream(reinterpret_cast<const char*>(data), size);
  uint64_t seed = 1469598103934665603u;
  for (unsigned char c : stream) seed = (seed ^ c) * 1099511628211u;

  const std::vector<std::string> whole = SplitInChunks(stream, seed, stream.size() + 1);
  Require(SplitInChunks(stream, seed, 0) == whole);
  Require(SplitInChunks(stream, seed, 1) == whole);
  for (const std::string& line : whole) {
    const bool remainder = !line.empty() && line.front() == '\n';
    CheckLine(remainder ? std::string_view(line).substr(1) : std::string_view(line));
  }
  return 0;
}
