#include "tests/robustness/soak_plan.h"

#include <array>

namespace {

uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

constexpr std::array<const wchar_t*, 8> kArguments = {
    L"",
    L"--profile quenby",
    L"--state ERROR",
    L"--state STOP --profile marl",
    L"C:\\Apps\\Quenby\\Quenby.exe",
    L"--state READY Marlisk Updater",
    L"--unknown-option --state nosuchstate",
    L"--state LAUNCH \"\x00e9\x00e8 \xd83d\xde00\"",
};

}  // namespace

uint32_t SoakRun::InputMs() const {
  uint32_t total = 0;
  for (const InputAction& action : input) total += action.pauseMs;
  return total;
}

SoakRun PlanSoakRun(uint64_t seed) {
  uint64_t state = Mix(seed ^ 0x5DEECE66Dull);
  const auto below = [&state](uint32_t n) {
    state = Mix(state);
    return static_cast<uint32_t>(state % n);
  };
  SoakRun run;
  run.seed = seed;
  run.extraArguments = kArguments[below(static_cast<uint32_t>(kArguments.size()))];
  run.feedStandardInput = below(3) == 0;
  const uint32_t count = 3 + below(6);
  for (uint32_t i = 0; i < count; ++i) {
    InputAction action;
    action.pauseMs = 30 + below(170);
    // Escape and WM_CLOSE end the run early, so they are rarer.
    const uint32_t roll = below(20);
    if (roll < 4) {
      action.kind = InputKind::ClickButton;
    } else if (roll < 8) {
      action.kind = InputKind::ClickElsewhere;
    } else if (roll < 12) {
      action.kind = InputKind::Drag;
    } else if (roll < 15) {
      action.kind = InputKind::Hover;
    } else if (roll < 16) {
      action.kind = InputKind::Escape;
    } else if (roll < 17) {
      action.kind = InputKind::Close;
    } else {
      action.kind = InputKind::Wait;
    }
    run.input.push_back(action);
  }
  return run;
}
