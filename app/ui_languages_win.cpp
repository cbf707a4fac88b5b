#include "app/ui_languages_win.h"

#include <windows.h>

#include "base/system_library_win.h"

namespace {

// MUI_LANGUAGE_NAME: the answer as tags, not as hexadecimal language ids.
constexpr DWORD kLanguageNames = 0x8;

using GetPreferredFn = BOOL(WINAPI*)(DWORD, PULONG, PZZWSTR, PULONG);

// Looked up at run time, as not every system's kernel32 exports it.
std::vector<std::wstring> PreferredByName() {
  std::vector<std::wstring> tags;
  const auto get = LookUpLoadedFunction<GetPreferredFn>(L"kernel32.dll", "GetUserPreferredUILanguages");
  if (get == nullptr) return tags;
  ULONG count = 0, size = 0;
  if (!get(kLanguageNames, &count, nullptr, &size) || size == 0) return tags;
  std::wstring buffer(size, L'\0');
  if (!get(kLanguageNames, &count, buffer.data(), &size)) return tags;
  // A list of NUL-terminated tags ended by an empty one.
  for (size_t start = 0; start < buffer.size() && buffer[start] != L'\0';) {
    const size_t end = buffer.find(L'\0', start);
    tags.push_back(buffer.substr(start, end - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return tags;
}

}  // namespace

std::vector<std::wstring> ReadPreferredUiLanguages() {
  std::vector<std::wstring> tags = PreferredByName();
  if (!tags.empty()) return tags;
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) > 0) {
    tags.emplace_back(name);
  }
  return tags;
}
