#include "state/step_vocabulary.h"

#include <array>
#include <utility>

#include "app/profiles.h"
#include "app/text.h"

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

constexpr std::array<std::pair<std::wstring_view, int>, 8> kRail{{
    {L"LINK", 0},
    {L"MANIFEST", 1},
    {L"VERIFY", 2},
    {L"SCAN", 2},
    {L"DOWNLOAD", 3},
    {L"APPLY", 3},
    {L"LAUNCH", 4},
    {L"READY", 4},
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

bool IsRailKey(std::wstring_view key) {
  for (const auto& entry : kRail) {
    if (key == entry.first) return true;
  }
  return false;
}

int RailIndex(std::wstring_view word) {
  const std::wstring key = NormalizeStepKey(word);
  for (const auto& [railKey, index] : kRail) {
    if (key == railKey) return index;
  }
  return 0;
}

bool IsErrorOrStop(std::wstring_view stepKey) { return stepKey == L"ERROR" || stepKey == L"STOP"; }

std::wstring_view StepStatus(const LaunchState& state) {
  if (IsErrorOrStop(state.stepKey)) return L"warn";
  if (state.stepKey == L"READY" || state.stepKey == L"LAUNCH") {
    if (!state.progress) return L"idle";
    return *state.progress >= 0.999 ? L"done" : L"active";
  }
  return state.progress ? L"active" : L"idle";
}
