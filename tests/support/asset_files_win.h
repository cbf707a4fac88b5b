#pragma once
// Files and folders for the asset tests (header only): the artwork copied
// beside the test programs (bin\asset-fixtures\), scratch folder trees under
// the temporary directory, and resource replacement in copied programs.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/win_owners_win.h"
#include "tests/support/process_runner_win.h"

// UTF-8 for reports and failure messages.
inline std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// A copy of resources\<name> (pictures without their assets\ folder).
inline std::wstring AssetFixture(std::wstring_view name) {
  return ProgramFolder() + L"\\asset-fixtures\\" + std::wstring(name);
}

// The whole file, or an empty string when it cannot be read.
inline std::string ReadFileBytes(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

inline bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

inline void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

// Creates every missing folder of a full path ("C:\a\b\c").
inline bool MakeFolders(const std::wstring& path) {
  for (size_t i = path.find(L'\\', 3);; i = path.find(L'\\', i + 1)) {
    const std::wstring prefix = path.substr(0, i);
    if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (i == std::wstring::npos) return true;
  }
}

// A fresh folder under the temporary directory, removed with everything in
// it when the object goes.
class TempTree {
 public:
  TempTree() {
    static int serial = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    wchar_t full[1024] = {};
    const DWORD n = GetLongPathNameW(temp, full, 1024);
    std::wstring base = (n > 0 && n < 1024) ? std::wstring(full, n) : std::wstring(temp);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    root_ = base + L"\\tarrow-assets-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    RemoveTree(root_);
    ok_ = MakeFolders(root_);
  }
  ~TempTree() { RemoveTree(root_); }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  bool ok() const { return ok_; }
  const std::wstring& root() const { return root_; }
  std::wstring Path(std::wstring_view relative) const { return root_ + L"\\" + std::wstring(relative); }

 private:
  std::wstring root_;
  bool ok_ = false;
};

// New bytes for one US English resource of a program file.
struct ResourceReplacement {
  WORD type;
  WORD id;
  std::string bytes;
};

// Rewrites resources of a program that is not running. Replacing is the only
// change used: Wine accepts deletions but does not carry them out.
inline bool ReplaceResources(const std::wstring& program, std::vector<ResourceReplacement> replacements) {
  HANDLE update = BeginUpdateResourceW(program.c_str(), FALSE);
  if (update == nullptr) return false;
  bool ok = true;
  for (ResourceReplacement& r : replacements) {
    ok = UpdateResourceW(update, MAKEINTRESOURCEW(r.type), MAKEINTRESOURCEW(r.id),
                         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), r.bytes.data(),
                         static_cast<DWORD>(r.bytes.size())) &&
         ok;
  }
  return EndUpdateResourceW(update, ok ? FALSE : TRUE) && ok;
}
