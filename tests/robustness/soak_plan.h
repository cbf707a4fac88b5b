#pragma once
// What one soak run does besides its updater's noise play: the launcher's
// extra arguments, whether its standard input is fed noise too, and the
// user's input during the run. Derived from the run's seed, so a failing run
// can be replayed alone (--gtest_filter and TARROW_SOAK_SEED).
#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint64_t kSoakRuns = 56;

enum class InputKind : uint8_t { ClickButton, ClickElsewhere, Drag, Hover, Escape, Close, Wait, Count };

struct InputAction {
  InputKind kind = InputKind::Wait;
  uint32_t pauseMs = 0;  // before the action
};

struct SoakRun {
  uint64_t seed = 0;
  std::wstring extraArguments;  // before --updater-cmd
  bool feedStandardInput = false;
  std::vector<InputAction> input;
  uint32_t InputMs() const;
};

SoakRun PlanSoakRun(uint64_t seed);
