#pragma once
// Files of the source tree (reference pictures, artwork) from a Windows test
// program. The target that includes this defines TARROW_SOURCE_DIR, the
// tree's root as CMake sees it.
#include <algorithm>
#include <string>

// A file of the source tree as a Windows path: "Z:\..." for a Unix tree seen
// through Wine, the path itself on Windows.
inline std::wstring SourcePath(const std::string& relative) {
  std::string path = std::string(TARROW_SOURCE_DIR) + "/" + relative;
  if (path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return std::wstring(path.begin(), path.end());
}
