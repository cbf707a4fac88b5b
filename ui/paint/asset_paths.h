#pragma once
// Path arithmetic for finding the launcher's asset files on disk: parent
// directories, joining a base directory with a relative candidate, and the
// search order. Windows path rules ('\' and '/' both separate), written
// without any Windows header so the rules are tested on every toolchain.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The path without its last element and without the separators before it:
// "C:\Apps\Tarrow" -> "C:\Apps". A root is returned unchanged and is never
// cut below: "C:\" stays "C:\", "C:\Tarrow" gives "C:\", "\\server\share\dir"
// gives "\\server\share\". A bare name gives "".
std::wstring ParentDirectory(std::wstring_view path);

// base + one backslash + candidate. No backslash is added when base is empty,
// is a bare drive ("C:") or already ends in '\' or '/'. A rooted candidate
// follows the Windows rules: "\x" keeps only the drive (or share) of base, a
// full "D:\x" or "\\server\x" replaces base, "C:x" joins base only when base
// is on drive C.
std::wstring JoinAssetPath(std::wstring_view base, std::wstring_view candidate);

// The directories searched for asset files, in order: the executable's
// directory, the current directory, the parent of the first, the parent of
// the second. Equal entries are kept, so a directory can be searched twice.
std::vector<std::wstring> AssetSearchDirectories(std::wstring_view moduleDirectory,
                                                 std::wstring_view currentDirectory);

// Asked once per joined path, in search order; true when the search may stop
// at that path.
using PathExists = std::function<bool(const std::wstring& path)>;

// The first joined path that exists: every candidate in the first directory,
// then every candidate in the next. The directory has priority over the name.
// Empty when none exists.
std::wstring FindFirstExistingPath(const std::vector<std::wstring>& directories,
                                   const std::vector<std::wstring>& candidates, const PathExists& exists);
