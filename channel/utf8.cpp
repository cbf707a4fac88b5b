// Portable UTF-8 decoder, used wherever the platform converter is absent.
// Malformed input follows the usual "maximal subpart" practice: each maximal
// prefix of a valid sequence that breaks off, and each byte that cannot start
// a sequence, gives one U+FFFD.
#include "channel/utf8.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Writes one code point at out[at], as a surrogate pair when wchar_t is too
// narrow for it. Returns the units written.
size_t PutCodePoint(std::wstring& out, size_t at, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out[at] = static_cast<wchar_t>(0xD800 + (cp >> 10));
      out[at + 1] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
      return 2;
    }
  }
  out[at] = static_cast<wchar_t>(cp);
  return 1;
}

// Never writes more units than it reads bytes: an ASCII byte or a bad byte
// gives one unit, a sequence of n >= 2 bytes at most two.
std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring out(bytes.size(), L'\0');
  size_t written = 0;
  size_t i = 0;
  const size_t n = bytes.size();
  while (i < n) {
    const auto lead = static_cast<uint8_t>(bytes[i]);
    ++i;
    if (lead < 0x80) {
      out[written++] = static_cast<wchar_t>(lead);
      continue;
    }
    int need = 0;
    char32_t cp = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      need = 1;
      cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      need = 2;
      cp = lead & 0x0Fu;
      if (lead == 0xE0) low = 0xA0;   // no overlong forms
      if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      need = 3;
      cp = lead & 0x07u;
      if (lead == 0xF0) low = 0x90;   // no overlong forms
      if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
      written += PutCodePoint(out, written, kReplacement);
      continue;
    }
    int got = 0;
    while (got < need && i < n) {
      const auto next = static_cast<uint8_t>(bytes[i]);
      if (next < low || next > high) break;
      cp = (cp << 6) | (next & 0x3Fu);
      low = 0x80;
      high = 0xBF;
      ++i;
      ++got;
    }
    written += PutCodePoint(out, written, got == need ? cp : kReplacement);
  }
  out.resize(written);
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) { return DecodeUtf8(bytes); }
