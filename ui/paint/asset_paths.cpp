#include "ui/paint/asset_paths.h"

#include "base/path_root.h"
#include "base/text.h"

namespace {

bool IsBareDrive(std::wstring_view p) { return p.size() == 2 && IsAsciiLetter(p[0]) && p[1] == L':'; }

size_t RootNameLength(std::wstring_view p) { return ParsePathRoot(p).length; }

// The root name followed by all separators right after it.
size_t RootLength(std::wstring_view p) {
  size_t n = RootNameLength(p);
  while (n < p.size() && IsPathSeparator(p[n])) ++n;
  return n;
}

}  // namespace

std::wstring ParentDirectory(std::wstring_view path) {
  const size_t root = RootLength(path);
  size_t cut = path.size();
  while (cut > root && !IsPathSeparator(path[cut - 1])) --cut;
  while (cut > root && IsPathSeparator(path[cut - 1])) --cut;
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
  if (!rest.empty() && IsPathSeparator(rest.front())) {
    std::wstring joined(base.substr(0, baseName));
    joined += rest;
    return joined;
  }
  std::wstring joined(base);
  if (!base.empty() && !IsBareDrive(base) && !IsPathSeparator(base.back())) joined += L'\\';
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
