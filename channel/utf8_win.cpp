// Windows build of Utf8ToWide: the platform converter, first from UTF-8 and,
// only when that yields nothing, from the system's ANSI code page. Without
// MB_ERR_INVALID_CHARS malformed UTF-8 does not fail the conversion; the
// converter substitutes U+FFFD.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>

#include "channel/utf8.h"

namespace {

// Converts one piece whose length fits the converter's int.
std::wstring ConvertPiece(UINT codePage, std::string_view bytes) {
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  const int done = MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
  wide.resize(done > 0 ? static_cast<size_t>(done) : 0);
  return wide;
}

std::wstring Convert(UINT codePage, std::string_view bytes) {
  // Lines are capped far below INT_MAX; longer input is converted in pieces
  // cut before a UTF-8 lead byte so that no sequence is split.
  constexpr size_t kPiece = INT_MAX / 2;
  if (bytes.size() <= kPiece) return ConvertPiece(codePage, bytes);
  std::wstring wide;
  while (!bytes.empty()) {
    size_t cut = bytes.size() <= kPiece ? bytes.size() : kPiece;
    for (int back = 0; back < 3 && cut < bytes.size() && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80; ++back)
      --cut;
    wide += ConvertPiece(codePage, bytes.substr(0, cut));
    bytes.remove_prefix(cut);
  }
  return wide;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) {
  if (bytes.empty()) return {};
  std::wstring wide = Convert(CP_UTF8, bytes);
  if (!wide.empty()) return wide;
  return Convert(CP_ACP, bytes);
}
