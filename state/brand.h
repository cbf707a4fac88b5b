#pragma once
// A product's brand: the file a product team writes, and the text the
// launcher reads back from its own resources. One strict reader serves both,
// so it never trusts its bytes: UTF-8 with or without a BOM, LF or CRLF line
// ends, "key = value" lines, "#" comment lines and blank lines. Keys are
// matched without regard to ASCII case; values are trimmed of blanks.
//
//   name        required; 1 to kBrandNameUnits UTF-16 units
//   badge       1 or 2 user-perceived characters (grapheme clusters)
//   header      the header line (the sequence title)
//   accent      #RRGGBB
//   accent-end  #RRGGBB
//   theme       dark (the default), light or system
//   picture     an 800 x 400 PNG, relative to the brand file's folder
//   picture@2x  a 1600 x 800 PNG, only beside picture
//   icon        an .ico file
//
// A value may not be empty nor hold a control character, a key may appear
// once; an unknown key is a warning. Portable.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr size_t kBrandNameUnits = 72;

enum class BrandTheme { Dark, Light, System };

struct Brand {
  std::wstring name;
  std::wstring badge;              // empty when not given
  std::wstring header;             // empty when not given
  std::optional<uint32_t> accent;  // 0xFFRRGGBB
  std::optional<uint32_t> accentEnd;
  BrandTheme theme = BrandTheme::Dark;
  // Paths as written; empty when not given. The launcher's resources carry
  // none of them.
  std::wstring picture;
  std::wstring picture2x;
  std::wstring icon;

  friend bool operator==(const Brand&, const Brand&) = default;
};

struct BrandProblem {
  size_t line = 0;      // from 1; 0 for a key missing altogether
  std::string key;      // the field, lower-cased; empty when the line names none
  std::string message;  // what is wrong, UTF-8 without control characters
};

struct BrandReading {
  Brand brand;                          // complete only when `errors` is empty
  std::vector<BrandProblem> errors;     // by line, those of no line last
  std::vector<BrandProblem> warnings;   // unknown keys
  // The line of each known key given, lower-cased, in the file's order.
  std::vector<std::pair<std::string, size_t>> lines;
  // The line of `key` (lower-cased), 0 when it was not given.
  size_t LineOf(std::string_view key) const {
    for (const auto& [given, line] : lines) {
      if (given == key) return line;
    }
    return 0;
  }
};

BrandReading ReadBrand(std::string_view utf8);

// `line 4: accent: "#12345" is not a #RRGGBB colour`; the line and the key
// are left out when the problem has none.
std::string DescribeBrandProblem(const BrandProblem& problem);

// The brand as the launcher's resources carry it: UTF-8 without a BOM, one
// "key = value" line (LF) for each of name, badge, header, accent, accent-end
// (upper-case hex) and theme that has a value, in that order, and no paths.
// ReadBrand reads it back as the same record without its paths.
std::string BrandResourceText(const Brand& brand);
