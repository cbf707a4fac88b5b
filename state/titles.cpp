#include "state/titles.h"

#include <utility>

#include "base/path_root.h"
#include "base/text.h"

namespace {

std::wstring PathStem(std::wstring_view path) {
  size_t start = ParsePathRoot(path).shortLength;
  while (start < path.size() && IsPathSeparator(path[start])) ++start;
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

// Free start-up text -> a title of at most 72 units, never empty. A URL
// never becomes a title; a path gives the stem of its last component.
std::wstring SanitizeTitle(std::wstring_view text) {
  std::wstring t = TrimBlank(text);
  if (t.empty()) return kFallbackTitle;
  for (wchar_t& c : t) {
    if (c == L'\r' || c == L'\t' || c == L'\n') c = L' ';
  }
  if (t.find(L"://") != std::wstring::npos) return kFallbackTitle;
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

// The caption and header title: a product's own name when the title is just
// that product's name or executable, else the sanitised title itself.
std::wstring ResolveDisplayTitle(std::wstring_view title, const Profile& profile) {
  std::wstring t = SanitizeTitle(title);
  return NamesProduct(FoldKey(t), profile) ? profile.displayName : t;
}

}  // namespace

AppIdentity DeriveAppIdentity(std::wstring startupText) {
  AppIdentity identity;
  identity.title = SanitizeTitle(startupText);
  identity.profile = FindProfile(identity.title);
  identity.displayTitle = ResolveDisplayTitle(identity.title, identity.profile);
  return identity;
}
