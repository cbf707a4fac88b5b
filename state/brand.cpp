#include "state/brand.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>

#include "base/graphemes.h"
#include "base/text.h"
#include "channel/utf8.h"

namespace {

enum class Field { Name, Badge, Header, Accent, AccentEnd, Theme, Picture, Picture2x, Icon };

constexpr struct {
  std::string_view key;
  Field field;
} kFields[] = {{"name", Field::Name},       {"badge", Field::Badge},          {"header", Field::Header},
               {"accent", Field::Accent},   {"accent-end", Field::AccentEnd}, {"theme", Field::Theme},
               {"picture", Field::Picture}, {"picture@2x", Field::Picture2x}, {"icon", Field::Icon}};

constexpr struct {
  std::string_view word;
  BrandTheme theme;
} kThemes[] = {{"dark", BrandTheme::Dark}, {"light", BrandTheme::Light}, {"system", BrandTheme::System}};

constexpr size_t kBadgeClusters = 2;
// How much of a value a message repeats, in code points.
constexpr size_t kQuotedCodePoints = 40;

// Shortest forms only, no surrogate, nothing past U+10FFFF.
bool IsWellFormedUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t more = 0;
    char32_t c = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1;
      c = lead & 0x1Fu;
      least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2;
      c = lead & 0x0Fu;
      least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3;
      c = lead & 0x07u;
      least = 0x10000;
    } else {
      return false;
    }
    if (i + more >= bytes.size()) return false;
    for (size_t k = 1; k <= more; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3Fu);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += more + 1;
  }
  return true;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Printable ASCII other than blanks, the only bytes a key may have.
bool IsKeyText(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

std::string AsciiLowered(std::string_view bytes) {
  std::string lowered(bytes);
  for (char& c : lowered) c = static_cast<char>(AsciiLower(static_cast<wchar_t>(c)));
  return lowered;
}

// A value repeated in a message: quoted, at most kQuotedCodePoints of it
// followed by "…", control characters shown as "?". `bytes` is well-formed.
std::string Quote(std::string_view bytes) {
  std::string quoted = "\"";
  size_t codePoints = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation, copied with its lead
    if (++codePoints > kQuotedCodePoints) {
      quoted += "\xE2\x80\xA6";
      break;
    }
    size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    length = std::min(length, bytes.size() - i);
    const bool control = (length == 1 && IsControl(byte)) ||
                         (byte == 0xC2 && length == 2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0);
    if (control) {
      quoted += '?';
    } else {
      quoted.append(bytes.substr(i, length));
    }
  }
  return quoted + "\"";
}

// UTF-16 units, whatever the width of wchar_t: a code point past U+FFFF is
// one unit where wchar_t has 32 bits and a surrogate pair where it has 16.
template <typename Unit>
size_t Utf16Units(std::basic_string_view<Unit> text) {
  size_t units = text.size();
  if constexpr (sizeof(Unit) > 2) {
    for (Unit c : text) units += static_cast<char32_t>(c) > 0xFFFF ? 1 : 0;
  }
  return units;
}

// Clusters up to `limit` + 1: enough to tell a badge too long.
size_t CountClusters(std::wstring_view text, size_t limit) {
  size_t count = 0;
  for (size_t at = 0; at < text.size() && count <= limit; at = NextGraphemeBoundary(text, at)) ++count;
  return count;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(AsciiLower(static_cast<wchar_t>(c)));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::optional<uint32_t> ParseColour(std::string_view bytes) {
  if (bytes.size() != 7 || bytes[0] != '#') return std::nullopt;
  uint32_t rgb = 0;
  for (char c : bytes.substr(1)) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    rgb = (rgb << 4) | static_cast<uint32_t>(digit);
  }
  return 0xFF000000u | rgb;
}

std::string ColourText(uint32_t argb) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) text += kDigits[(argb >> shift) & 0xF];
  return text;
}

class Reader {
 public:
  explicit Reader(BrandReading& reading) : reading_(reading) {}

  void Line(size_t number, std::string_view line) {
    const std::string_view bytes = TrimBlankView(line);
    if (bytes.empty()) return;
    const bool wellFormed = IsWellFormedUtf8(bytes);
    if (bytes.front() == '#') {
      if (!wellFormed) Error(number, {}, {"the comment is not valid UTF-8"});
      return;
    }
    const size_t equals = bytes.find('=');
    const std::string_view keyBytes = TrimBlankView(bytes.substr(0, equals));
    if (equals == std::string_view::npos || keyBytes.empty() || !IsKeyText(keyBytes)) {
      if (wellFormed) {
        Error(number, {}, {Quote(bytes), " is not a \"key = value\" line"});
      } else {
        Error(number, {}, {"the line is not valid UTF-8"});
      }
      return;
    }
    const std::string key = AsciiLowered(keyBytes);
    const auto known =
        std::find_if(std::begin(kFields), std::end(kFields), [&](const auto& f) { return f.key == key; });
    if (known == std::end(kFields)) {
      reading_.warnings.push_back({number, std::string(keyBytes.substr(0, kQuotedCodePoints)), "unknown key, ignored"});
      return;
    }
    if (const size_t first = reading_.LineOf(key); first != 0) {
      Error(number, key, {"given twice (first on line ", std::to_string(first), ")"});
      return;
    }
    reading_.lines.emplace_back(key, number);
    const std::string_view value = TrimBlankView(bytes.substr(equals + 1));
    if (!wellFormed) return Error(number, key, {"the value is not valid UTF-8"});
    if (value.empty()) return Error(number, key, {"has no value"});
    const std::wstring wide = Utf8ToWide(value);
    if (std::any_of(wide.begin(), wide.end(), [](wchar_t c) { return IsControl(static_cast<char32_t>(c)); })) {
      return Error(number, key, {"the value holds a control character"});
    }
    Store(number, key, known->field, value, wide);
  }

  void Finish() {
    Brand& brand = reading_.brand;
    // Errors come by line, those of no line last: the lines' own in order,
    // then the one found here on a line put in its place.
    if (const size_t twice = reading_.LineOf("picture@2x"); twice != 0 && reading_.LineOf("picture") == 0) {
      const auto at = std::find_if(reading_.errors.begin(), reading_.errors.end(),
                                   [twice](const BrandProblem& e) { return e.line > twice; });
      reading_.errors.insert(at, BrandProblem{twice, "picture@2x", "given without picture, the 1x picture"});
    }
    if (reading_.LineOf("name") == 0) Error(0, "name", {"missing; a brand names its product (name = ...)"});
    if (!reading_.errors.empty()) brand = Brand{};
  }

 private:
  // The message's parts are joined here, once: one loop instead of a chain
  // of concatenations at every call.
  void Error(size_t number, std::string key, std::initializer_list<std::string_view> parts) {
    std::string message;
    for (std::string_view part : parts) message.append(part);
    reading_.errors.push_back({number, std::move(key), std::move(message)});
  }

  void Store(size_t number, const std::string& key, Field field, std::string_view value, std::wstring wide) {
    Brand& brand = reading_.brand;
    switch (field) {
      case Field::Name:
        if (const size_t units = Utf16Units(std::wstring_view(wide)); units > kBrandNameUnits) {
          return Error(number, key,
                       {Quote(value), " is ", std::to_string(units), " UTF-16 units long; at most ",
                        std::to_string(kBrandNameUnits), " fit"});
        }
        brand.name = std::move(wide);
        return;
      case Field::Badge:
        if (const size_t clusters = CountClusters(wide, kBadgeClusters); clusters > kBadgeClusters) {
          return Error(number, key, {Quote(value), " is more than 2 characters; a badge has 1 or 2"});
        }
        brand.badge = std::move(wide);
        return;
      case Field::Header:
        brand.header = std::move(wide);
        return;
      case Field::Accent:
      case Field::AccentEnd: {
        const std::optional<uint32_t> colour = ParseColour(value);
        if (!colour) return Error(number, key, {Quote(value), " is not a #RRGGBB colour"});
        (field == Field::Accent ? brand.accent : brand.accentEnd) = colour;
        return;
      }
      case Field::Theme: {
        const std::string word = AsciiLowered(value);
        const auto theme =
            std::find_if(std::begin(kThemes), std::end(kThemes), [&](const auto& t) { return t.word == word; });
        if (theme == std::end(kThemes)) return Error(number, key, {Quote(value), " is not dark, light or system"});
        brand.theme = theme->theme;
        return;
      }
      case Field::Picture:
        brand.picture = std::move(wide);
        return;
      case Field::Picture2x:
        brand.picture2x = std::move(wide);
        return;
      case Field::Icon:
        brand.icon = std::move(wide);
        return;
    }
  }

  BrandReading& reading_;
};

}  // namespace

BrandReading ReadBrand(std::string_view utf8) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (utf8.substr(0, kBom.size()) == kBom) utf8.remove_prefix(kBom.size());
  BrandReading reading;
  Reader reader(reading);
  size_t number = 1;
  for (size_t start = 0; start <= utf8.size(); ++number) {
    size_t end = utf8.find('\n', start);
    if (end == std::string_view::npos) end = utf8.size();
    reader.Line(number, utf8.substr(start, end - start));
    start = end + 1;
  }
  reader.Finish();
  return reading;
}

std::string DescribeBrandProblem(const BrandProblem& problem) {
  std::string text;
  if (problem.line != 0) text += "line " + std::to_string(problem.line) + ": ";
  if (!problem.key.empty()) text += problem.key + ": ";
  return text + problem.message;
}

std::string BrandResourceText(const Brand& brand) {
  std::string text;
  const auto line = [&text](std::string_view key, const std::string& value) {
    if (!value.empty()) text.append(key).append(" = ").append(value).append("\n");
  };
  line("name", WideToUtf8(brand.name));
  line("badge", WideToUtf8(brand.badge));
  line("header", WideToUtf8(brand.header));
  line("accent", brand.accent ? ColourText(*brand.accent) : std::string());
  line("accent-end", brand.accentEnd ? ColourText(*brand.accentEnd) : std::string());
  for (const auto& t : kThemes) {
    if (t.theme == brand.theme) line("theme", std::string(t.word));
  }
  return text;
}
