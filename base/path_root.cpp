#include "base/path_root.h"

#include "base/text.h"

namespace {

// Length of the leading run of non-separators.
size_t ElementLength(std::wstring_view p) {
  size_t n = 0;
  while (n < p.size() && !IsPathSeparator(p[n])) ++n;
  return n;
}

// "server\share" at the start of p (either part may be missing).
size_t ServerShareLength(std::wstring_view p) {
  size_t n = ElementLength(p);
  if (n < p.size()) n += 1 + ElementLength(p.substr(n + 1));
  return n;
}

bool IsDrive(std::wstring_view p) { return p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == L':'; }

bool IsDevicePrefix(std::wstring_view p) {
  if (p.size() < 4 || !IsPathSeparator(p[0]) || !IsPathSeparator(p[3])) return false;
  if (p.size() > 4 && IsPathSeparator(p[4])) return false;
  return (IsPathSeparator(p[1]) && (p[2] == L'?' || p[2] == L'.')) || (p[1] == L'?' && p[2] == L'?');
}

// What follows a device prefix: a drive, "UNC\server\share" or a volume name.
size_t DeviceTargetLength(std::wstring_view rest) {
  if (IsDrive(rest)) return 2;
  if (rest.size() >= 4 && EqualsIgnoringAsciiCase(rest.substr(0, 3), L"UNC") && IsPathSeparator(rest[3])) {
    return 4 + ServerShareLength(rest.substr(4));
  }
  return ElementLength(rest);
}

}  // namespace

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

PathRoot ParsePathRoot(std::wstring_view p) {
  if (IsDrive(p)) return {2, 2};
  if (IsDevicePrefix(p)) return {4, 4 + DeviceTargetLength(p.substr(4))};
  if (p.size() >= 2 && IsPathSeparator(p[0]) && IsPathSeparator(p[1])) {
    const size_t server = p.size() >= 3 && !IsPathSeparator(p[2]) ? 2 + ElementLength(p.substr(2)) : 0;
    return {server, 2 + ServerShareLength(p.substr(2))};
  }
  return {0, 0};
}
