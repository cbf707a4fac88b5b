#include "app/profiles.h"

#include "app/text.h"

namespace {

Profile QuenbyProfile() {
  return {L"quenby", L"QB", L"Quenby", L"Workspace launch sequence",
          {L"assets\\quenby-bg-v1.png", L"assets\\tarrow-bg-v1.png"},
          {L"quenby.ico", L"control.ico"}, 202, 102};
}

Profile MarliskProfile() {
  return {L"marlisk", L"MK", L"Marlisk", L"Marl workspace launch",
          {L"assets\\marlisk-bg-v1.png", L"assets\\tarrow-bg-v1.png"},
          {L"marlisk.ico", L"marl.ico", L"control.ico"}, 203, 103};
}

Profile TarrowProfile() {
  return {L"tarrow", L"TW", L"Tarrow", L"Secure runtime delivery",
          {L"assets\\tarrow-bg-v1.png"}, {L"control.ico"}, 201, 101};
}

bool Contains(std::wstring_view text, std::wstring_view part) { return text.find(part) != std::wstring_view::npos; }

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// End of the Windows root name at the start of a path: a drive ("C:"), a
// device prefix ("\\?\", "\\.\", "\??\") or a server ("\\server").
size_t RootNameEnd(std::wstring_view p) {
  if (p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == L':') return 2;
  if (p.size() < 2 || !IsSeparator(p[0])) return 0;
  if (p.size() >= 4 && IsSeparator(p[3]) && (p.size() == 4 || !IsSeparator(p[4])) &&
      ((IsSeparator(p[1]) && (p[2] == L'?' || p[2] == L'.')) || (p[1] == L'?' && p[2] == L'?'))) {
    return 3;
  }
  if (p.size() >= 3 && IsSeparator(p[1]) && !IsSeparator(p[2])) {
    size_t i = 3;
    while (i < p.size() && !IsSeparator(p[i])) ++i;
    return i;
  }
  return 0;
}

std::wstring PathStem(std::wstring_view path) {
  size_t start = RootNameEnd(path);
  while (start < path.size() && IsSeparator(path[start])) ++start;
  std::wstring_view rest = path.substr(start);
  size_t last = rest.find_last_of(L"\\/");
  std::wstring_view name = last == std::wstring_view::npos ? rest : rest.substr(last + 1);
  size_t colon = name.find(L':');
  if (colon != std::wstring_view::npos) name = name.substr(0, colon);  // alternate-stream suffix
  if (name == L"." || name == L"..") return std::wstring(name);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring_view::npos && dot != 0) name = name.substr(0, dot);
  return std::wstring(name);
}

bool SurvivesFilter(wchar_t c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == L'(' || c == L')' || c == L'+' || c == L'-' || c == L'.' ||
         c == L'_';
}

constexpr size_t kMaxTitleLength = 72;
constexpr const wchar_t* kFallbackTitle = L"Tarrow";

}  // namespace

std::wstring FoldKey(std::wstring_view text) {
  std::wstring key;
  key.reserve(text.size());
  for (wchar_t c : text) {
    c = AsciiLower(c);
    if ((c >= L'a' && c <= L'z') || IsAsciiDigit(c)) key.push_back(c);
  }
  return key;
}

Profile FindProfile(std::wstring_view name) {
  const std::wstring k = FoldKey(name);
  if (Contains(k, L"quenby") || k == L"qb") return QuenbyProfile();
  if (Contains(k, L"marlisk") || k == L"marl") return MarliskProfile();
  return TarrowProfile();
}

std::wstring SanitizeTitle(std::wstring_view text) {
  std::wstring t = TrimBlank(text);
  if (t.empty()) return kFallbackTitle;
  for (wchar_t& c : t) {
    if (c == L'\r' || c == L'\t' || c == L'\n') c = L' ';
  }
  if (Contains(t, L"://")) return kFallbackTitle;
  if (t.find_first_of(L"\\/") != std::wstring::npos) t = PathStem(t);

  std::wstring filtered;
  filtered.reserve(t.size());
  bool gap = false;
  for (wchar_t c : t) {
    if (!SurvivesFilter(c)) {
      gap = true;
      continue;
    }
    if (gap && !filtered.empty()) filtered.push_back(L' ');
    gap = false;
    filtered.push_back(c);
  }
  filtered = TrimBlank(filtered);
  if (filtered.empty()) return kFallbackTitle;
  if (filtered.size() > kMaxTitleLength) filtered.resize(kMaxTitleLength);
  return filtered;
}

std::wstring ResolveDisplayTitle(std::wstring_view title, const Profile& profile) {
  std::wstring t = SanitizeTitle(title);
  const std::wstring f = FoldKey(t);
  if (profile.key == L"quenby" && (f == L"quenby" || f == L"quenbyexe" || f == L"qb")) return profile.displayName;
  if (profile.key == L"marlisk" && (f == L"marlisk" || f == L"marliskexe" || f == L"marl")) return profile.displayName;
  return t;
}
