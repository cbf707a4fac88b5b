#pragma once
// The root of a Windows path ('\' and '/' both separate), read once for the
// two uses it has: a title drops the short root before taking the last path
// component, and the asset search never cuts a directory below the whole
// root. Portable: the rules are tested on every toolchain.
#include <cstddef>
#include <string_view>

bool IsPathSeparator(wchar_t c);

struct PathRoot {
  // A drive "C:", a device prefix of four units not followed by a further
  // separator ("\\?\", "\\.\", "\??\"), or a server name "\\server".
  size_t shortLength = 0;
  // The whole root: a drive, "\\server\share", or a device prefix with what
  // it names ("\\?\C:", "\\?\UNC\server\share", "\\?\Volume{...}").
  size_t length = 0;
};

// Lengths of the roots at the start of `path`; 0 where there is none.
PathRoot ParsePathRoot(std::wstring_view path);
