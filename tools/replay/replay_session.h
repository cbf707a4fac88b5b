#pragma once
// What the launcher would display for a stream of updater lines, without a
// window: the same start-up derivations, preview, parser and state
// operations, with the animation timer replaced by a fixed number of ticks
// after every line. The clock starts at 0 and moves 45 ms a tick; a line
// "@wait SECONDS" (not an updater line) moves it on by that much, in ticks,
// so the byte counts' rate and time left come out exactly.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/titles.h"
#include "app/startup_options.h"
#include "channel/launch_event.h"
#include "state/languages.h"
#include "state/launch_state.h"

struct ReplayOptions {
  StartupOptions startup;  // the launcher's own reading of the command line
  uint32_t ticksPerLine = 0;
  bool scene = false;  // --scene: each record also carries the window's draw list
  bool texts = false;  // --texts: a first record holds the language's every text by key
};

// Upper bound for --ticks; far beyond anything a transcript needs (the stall
// hint is due after 115 ticks) but small enough to stay quick per line.
inline constexpr uint32_t kMaxTicksPerLine = 1'000'000;

// The launcher's command line plus "--ticks N". Options pair with their
// values as the launcher pairs them, so "--state --ticks" names the state
// "--ticks". nullopt with a message in `error` for a missing or bad N.
std::optional<ReplayOptions> ParseReplayArguments(const std::vector<std::wstring>& args, std::string& error);

class ReplaySession {
 public:
  // Derives title, profile and display title and applies the start-up preview.
  explicit ReplaySession(const ReplayOptions& options);

  // The JSON record of the state after the start-up preview (line 0),
  // after the language's texts with --texts.
  std::string StartRecord() const;

  // Parses and applies one line (without its LF), runs the ticks and returns
  // its JSON record; lines are numbered from 1, blank and @wait ones
  // included. A record carries "clock" and "transfer" while the step has
  // byte counts.
  std::string ApplyLine(std::string_view line);

 private:
  std::string Record(const LaunchEvent* event) const;
  void Tick(uint64_t ms);

  static constexpr uint64_t kTickMs = 45;

  AppIdentity identity_;
  const Language* language_;
  LaunchState state_;
  uint32_t ticksPerLine_ = 0;
  bool scene_ = false;
  bool texts_ = false;
  uint64_t lineNumber_ = 0;
  uint32_t closeTimerMs_ = 0;  // the period of the last close timer armed
};
