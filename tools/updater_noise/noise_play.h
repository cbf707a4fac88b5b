#pragma once
// Hostile updater output for the robustness suite: from a seed, a play of
// writes and pauses mixing valid progress lines with everything a broken or
// malicious updater might send (garbage bytes, NUL bytes, malformed UTF-8,
// huge and non-finite numbers, broken objects, lines of over 1 MiB, lines cut
// across writes, no final LF) and an exit code. The same seed gives the same
// play on every platform (own generator, no std distributions). Portable.
#include <cstdint>
#include <string>
#include <vector>

// What a step of a play stands for; a play records which it used.
enum class NoiseIngredient : uint8_t {
  ValidLine,    // a well-formed line of either form
  Garbage,      // random bytes without an LF
  NulBytes,     // NUL bytes inside a line, raw or as \u0000
  InvalidUtf8,  // malformed, overlong and surrogate UTF-8
  HugeNumber,   // 1e308, 1e999, -1e999, 40-digit integers, denormals
  NotANumber,   // nan, -nan, inf, NaN in an object
  BrokenObject, // unterminated strings, escapes and objects, nesting
  HugeLine,     // a line longer than the 1 MiB line cap
  SplitLine,    // one line written in two pieces with a pause between
  Blank,        // blank, CR-only and whitespace lines
  Delay,        // a pause
  Done,         // the done line that closes the window 1.4 s later
  Count
};

struct NoiseStep {
  std::string bytes;     // written as they are; empty for a pause
  uint32_t sleepMs = 0;  // pause before the next step
};

struct NoisePlay {
  std::vector<NoiseStep> steps;
  uint32_t exitCode = 0;
  // One flag per NoiseIngredient.
  std::vector<bool> used = std::vector<bool>(static_cast<size_t>(NoiseIngredient::Count), false);
};

// Pauses of one play add up to at most this, so a soak run stays short.
inline constexpr uint32_t kNoiseMaxSleepMs = 700;

// The play for a seed. `allowHuge` false leaves out lines of over 1 MiB.
NoisePlay MakeNoisePlay(uint64_t seed, bool allowHuge = true);

// The bytes of all steps of a play, concatenated (pauses dropped).
std::string NoiseBytes(const NoisePlay& play);
