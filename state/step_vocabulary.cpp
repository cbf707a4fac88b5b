#include "state/step_vocabulary.h"

#include <array>
#include <utility>

#include "base/text.h"

namespace {

constexpr std::array<std::pair<std::wstring_view, std::wstring_view>, 8> kAliases{{
    {L"CONNECT", L"LINK"},
    {L"PACKAGE", L"MANIFEST"},
    {L"INFO", L"MANIFEST"},
    {L"UPDATE", L"APPLY"},
    {L"OPEN", L"LAUNCH"},
    {L"DONE", L"READY"},
    {L"CANCEL", L"STOP"},
    {L"CANCELLED", L"STOP"},
}};

}  // namespace

std::wstring NormalizeStepKey(std::wstring_view word) {
  std::wstring key = FoldKey(word);
  for (wchar_t& c : key) c = AsciiUpper(c);
  if (key.empty()) return L"SCAN";
  for (const auto& [alias, canonical] : kAliases) {
    if (key == alias) return std::wstring(canonical);
  }
  return key;
}
