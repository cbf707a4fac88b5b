#pragma once
// The figures of one benchmark session and their two renderings: the table
// printed for a reader and the JSON written for tools. Portable; the Windows
// measuring program fills a BenchReport and prints it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The median of the samples (the mean of the middle two for an even count);
// nullopt when there are none. NaN samples are ignored, so a failed
// repetition recorded as NaN does not move the figure.
std::optional<double> Median(std::vector<double> samples);

// Which way a figure should go against its aim.
enum class AimKind { AtMost, AtLeast, None };

// One row of the table: a measured value, optionally the value of its floor
// (the minimal program, the bare channel) and the aim for the value or, when
// a floor is given, for the ratio value / floor or the difference value - floor.
enum class Compare { Ratio, Difference };

struct Figure {
  std::string key;    // JSON key, e.g. "firstFrame"
  std::string label;  // table label, e.g. "First frame"
  std::string unit;   // "ms", "lines/s", "s", "MB", "bytes"
  std::optional<double> value;
  std::optional<double> floor;  // same unit as value
  Compare compare = Compare::Ratio;
  AimKind aimKind = AimKind::None;
  double aim = 0.0;  // applies to the ratio or difference when a floor is given, else to the value
  int samples = 0;   // repetitions the median was taken over
  // The median of the comparisons made within each repetition, when known:
  // a figure and its floor measured side by side share that moment's load,
  // so this is steadier than a comparison of the two medians.
  std::optional<double> pairedComparison;
};

// pairedComparison when given, else the ratio value / floor or the
// difference value - floor; nullopt without both numbers or for a zero floor
// in a ratio.
std::optional<double> Comparison(const Figure& figure);

// The median comparison of paired samples (values[i] against floors[i]);
// pairs with a missing (NaN) side, or a zero floor in a ratio, are left out.
std::optional<double> PairedComparison(const std::vector<double>& values, const std::vector<double>& floors,
                                       Compare compare);

// Whether the figure meets its aim; nullopt when it has no aim or no number.
std::optional<bool> MeetsAim(const Figure& figure);

struct BenchReport {
  std::string machine;  // free text: cores, Wine version, display, system
  int runs = 0;
  std::vector<Figure> figures;
  std::vector<std::string> notes;  // failed repetitions and the like
};

// A fixed-width table, one line per figure: label, value, floor, comparison,
// aim and whether it is met; then the notes.
std::string FormatTable(const BenchReport& report);

// One JSON object: {"machine":..., "runs":N, "figures":{key:{...}}, "notes":[...]}.
// Absent and non-finite numbers are written as null.
std::string FormatJson(const BenchReport& report);

// Escapes a string for a JSON string literal (without the quotes).
std::string JsonEscape(std::string_view text);

// Reads the per-message floor in microseconds from the output of
// channel-throughput.exe: the number on the line that names the floor
// ("floor, PostMessageW -> GetMessageW ...: 4.21 us per message").
std::optional<double> ParseChannelFloorMicroseconds(std::string_view output);
