#pragma once
// The running executable's full path, for paths of any length; empty when
// it cannot be read. Shell files, tools and tests.
#include <windows.h>

#include <string>

inline std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  // A name cut to the buffer fills it completely: ask again with twice the
  // room, up to the longest path Windows has.
  while (path.size() <= 32768) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
  return {};
}
