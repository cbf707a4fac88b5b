// Without MB_ERR_INVALID_CHARS malformed UTF-8 does not fail the conversion;
// the converter substitutes U+FFFD.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>

#include "channel/utf8.h"

std::wstring Utf8ToWide(std::string_view bytes) {
  // Lines are capped at 1 MiB; anything past the converter's int is cut
  // (a sequence cut there ends in U+FFFD).
  const int size = static_cast<int>(bytes.size() < INT_MAX ? bytes.size() : INT_MAX);
  const int length = size > 0 ? MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0) : 0;
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  const int done = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, wide.data(), length);
  wide.resize(done > 0 ? static_cast<size_t>(done) : 0);
  return wide;
}
