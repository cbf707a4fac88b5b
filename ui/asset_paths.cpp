#include "ui/asset_paths.h"

#include "app/text.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsBareDrive(std::wstring_view p) { return p.size() == 2 && IsAsciiLetter(p[0]) && p[1] == L':'; }

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Length of the leading run of non-separators.
size_t ElementLength(std::wstring_view p) {
  size_t n = 0;
  while (n < p.size() && !IsSeparator(p[n])) ++n;
  return n;
}

// "server\share" at the start of p (either part may be missing).
size_t ServerShareLength(std::wstring_view p) {
  size_t n = ElementLength(p);
  if (n < p.size()) n += 1 + ElementLength(p.substr(n + 1));
  return n;
}

// The root name: a drive "C:", a share "\\server\share", or a device path
// "\\?\C:", "\\?\UNC\server\share", "\\?\Volume{...}". 0 when there is none.
size_t RootNameLength(std::wstring_view p) {
  if (p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == L':') return 2;
  if (p.size() < 2 || !IsSeparator(p[0]) || !IsSeparator(p[1])) return 0;
  if (p.size() >= 4 && (p[2] == L'?' || p[2] == L'.') && IsSeparator(p[3])) {
    const std::wstring_view rest = p.substr(4);
    if (rest.size() >= 2 && IsAsciiLetter(rest[0]) && rest[1] == L':') return 6;
    if (rest.size() >= 4 && EqualsIgnoringAsciiCase(rest.substr(0, 3), L"UNC") && IsSeparator(rest[3])) {
      return 8 + ServerShareLength(p.substr(8));
    }
    return 4 + ElementLength(rest);
  }
  return 2 + ServerShareLength(p.substr(2));
}

// The root name followed by all separators right after it.
size_t RootLength(std::wstring_view p) {
  size_t n = RootNameLength(p);
  while (n < p.size() && IsSeparator(p[n])) ++n;
  return n;
}

}  // namespace

std::wstring ParentDirectory(std::wstring_view path) {
  const size_t root = RootLength(path);
  size_t cut = path.size();
  while (cut > root && !IsSeparator(path[cut - 1])) --cut;
  while (cut > root && IsSeparator(path[cut - 1])) --cut;
  if (cut == path.size()) return std::wstring(path);  // only a root (or empty)
  return std::wstring(path.substr(0, cut));
}

std::wstring JoinAssetPath(std::wstring_view base, std::wstring_view candidate) {
  const size_t candidateName = RootNameLength(candidate);
  const size_t baseName = RootNameLength(base);
  if (candidateName > 0 && !EqualsIgnoringAsciiCase(candidate.substr(0, candidateName), base.substr(0, baseName))) {
    return std::wstring(candidate);
  }
  const std::wstring_view rest = candidate.substr(candidateName);
  if (!rest.empty() && IsSeparator(rest.front())) {
    std::wstring joined(base.substr(0, baseName));
    joined += rest;
    return joined;
  }
  std::wstring joined(base);
  if (!base.empty() && !IsBareDrive(base) && !IsSeparator(base.back())) joined += L'\\';
  joined += rest;
  return joined;
}

std::vector<std::wstring> AssetSearchDirectories(std::wstring_view moduleDirectory,
                                                 std::wstring_view currentDirectory) {
  return {std::wstring(moduleDirectory), std::wstring(currentDirectory), ParentDirectory(moduleDirectory),
          ParentDirectory(currentDirectory)};
}

std::wstring FindFirstExistingPath(const std::vector<std::wstring>& directories,
                                   const std::vector<std::wstring>& candidates, const PathExists& exists) {
  for (const std::wstring& directory : directories) {
    for (const std::wstring& candidate : candidates) {
      std::wstring path = JoinAssetPath(directory, candidate);
      if (exists(path)) return path;
    }
  }
  return {};
}
