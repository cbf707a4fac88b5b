#pragma once
// One parsed updater line. Created on the heap by a reader thread, owned by
// that thread until it is posted to the window, then by the window thread,
// which frees it after applying it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The largest byte count believed; the parser leaves larger ones absent. Ten
// times it still fits in 64 bits, which the wording's arithmetic needs.
inline constexpr uint64_t kMaxByteCount = 1'000'000'000'000'000'000ull;

struct LaunchEvent {
  std::wstring kind;             // the event word as sent, case kept
  std::optional<double> value;   // progress fraction of a progress event
  std::wstring caption;          // step word of a progress event, or a state name
  std::wstring detail;           // descriptive line
  std::wstring text;             // free text, such as a status message
  // Byte counts of the current step, on any event: how many are done, and
  // of how many. Whole numbers up to kMaxByteCount; anything else is left absent.
  std::optional<uint64_t> bytes = std::nullopt;
  std::optional<uint64_t> total = std::nullopt;
  // Set only on the reader's report of how the updater ended: the window
  // words the detail itself, in its language.
  std::optional<uint32_t> exitCode = std::nullopt;
};

// The events of the lines one read brought, in line order: what a reader
// hands to the window in one message. Created on the heap by the reader,
// owned by the window thread from the post on, like a single event.
struct LaunchEventBatch {
  std::vector<LaunchEvent> events;
};
