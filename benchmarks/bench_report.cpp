#include "benchmarks/bench_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Decimals shown for a unit in the table.
int DecimalsFor(std::string_view unit) {
  if (unit == "ms" || unit == "MB") return 1;
  if (unit == "s") return 3;
  return 0;  // lines/s, bytes
}

std::string Fixed(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

std::string WithUnit(const std::optional<double>& value, std::string_view unit) {
  if (!value || !std::isfinite(*value)) return "-";
  return Fixed(*value, DecimalsFor(unit)) + " " + std::string(unit);
}

std::string ComparisonText(const Figure& figure) {
  const std::optional<double> c = Comparison(figure);
  if (!c) return "-";
  // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about a
  // string literal + std::string.
  std::string text;
  if (figure.compare == Compare::Ratio) {
    text += 'x';
    text += Fixed(*c, 2);
    return text;
  }
  if (*c >= 0) text += '+';
  text += Fixed(*c, DecimalsFor(figure.unit));
  text += ' ';
  text += figure.unit;
  return text;
}

std::string AimText(const Figure& figure) {
  if (figure.aimKind == AimKind::None) return "-";
  const bool onComparison = figure.floor.has_value();
  std::string text = figure.aimKind == AimKind::AtMost ? "<= " : ">= ";
  if (onComparison && figure.compare == Compare::Ratio) {
    text += 'x';
    text += Fixed(figure.aim, 2);
    return text;
  }
  if (onComparison) text += '+';
  text += Fixed(figure.aim, DecimalsFor(figure.unit));
  text += ' ';
  text += figure.unit;
  return text;
}

std::string MetText(const Figure& figure) {
  const std::optional<bool> met = MeetsAim(figure);
  if (!met) return "-";
  return *met ? "yes" : "NO";
}

std::string Pad(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// A JSON number, or null for an absent or non-finite one.
std::string JsonNumber(const std::optional<double>& value) {
  if (!value || !std::isfinite(*value)) return "null";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", *value);
  return buffer;
}

}  // namespace

std::optional<double> Median(std::vector<double> samples) {
  samples.erase(std::remove_if(samples.begin(), samples.end(), [](double v) { return std::isnan(v); }),
                samples.end());
  if (samples.empty()) return std::nullopt;
  std::sort(samples.begin(), samples.end());
  const size_t mid = samples.size() / 2;
  if (samples.size() % 2 == 1) return samples[mid];
  return (samples[mid - 1] + samples[mid]) / 2.0;
}

std::optional<double> PairedComparison(const std::vector<double>& values, const std::vector<double>& floors,
                                       Compare compare) {
  std::vector<double> comparisons;
  for (size_t i = 0; i < values.size() && i < floors.size(); ++i) {
    if (!std::isfinite(values[i]) || !std::isfinite(floors[i])) continue;
    if (compare == Compare::Difference) {
      comparisons.push_back(values[i] - floors[i]);
    } else if (floors[i] != 0.0) {
      comparisons.push_back(values[i] / floors[i]);
    }
  }
  return Median(std::move(comparisons));
}

std::optional<double> Comparison(const Figure& figure) {
  if (figure.pairedComparison) return figure.pairedComparison;
  if (!figure.value || !figure.floor) return std::nullopt;
  if (!std::isfinite(*figure.value) || !std::isfinite(*figure.floor)) return std::nullopt;
  if (figure.compare == Compare::Difference) return *figure.value - *figure.floor;
  if (*figure.floor == 0.0) return std::nullopt;
  return *figure.value / *figure.floor;
}

std::optional<bool> MeetsAim(const Figure& figure) {
  if (figure.aimKind == AimKind::None) return std::nullopt;
  const std::optional<double> measured = figure.floor ? Comparison(figure) : figure.value;
  if (!measured || !std::isfinite(*measured)) return std::nullopt;
  return figure.aimKind == AimKind::AtMost ? *measured <= figure.aim : *measured >= figure.aim;
}

std::string FormatTable(const BenchReport& report) {
  constexpr size_t kLabel = 18, kValue = 18, kFloor = 18, kComparison = 16, kAim = 16;
  std::string out = "Tarrow Launcher benchmarks, median of " + std::to_string(report.runs) + " runs\n";
  if (!report.machine.empty()) out += "Machine: " + report.machine + "\n";
  out += "\n";
  out += Pad("Figure", kLabel) + Pad("Launcher", kValue) + Pad("Floor", kFloor) + Pad("Launcher/floor", kComparison) +
         Pad("Aim", kAim) + "Met\n";
  for (const Figure& f : report.figures) {
    out += Pad(f.label, kLabel) + Pad(WithUnit(f.value, f.unit), kValue) + Pad(WithUnit(f.floor, f.unit), kFloor) +
           Pad(ComparisonText(f), kComparison) + Pad(AimText(f), kAim) + MetText(f) + "\n";
  }
  bool paired = false;
  for (const Figure& f : report.figures) paired = paired || f.pairedComparison.has_value();
  if (paired) out += "Launcher/floor: the median of the comparisons made within each run.\n";
  for (const std::string& note : report.notes) out += "note: " + note + "\n";
  return out;
}

std::string JsonEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(byte));
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  return out;
}

// Appends a JSON string literal. FormatJson appends piece by piece: GCC 12
// at -O3 warns falsely (-Wrestrict) about a string literal + std::string.
static void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  out += JsonEscape(text);
  out += '"';
}

std::string FormatJson(const BenchReport& report) {
  std::string out = "{\"machine\":";
  AppendQuoted(out, report.machine);
  out += ",\"runs\":";
  out += std::to_string(report.runs);
  out += ",\"figures\":{";
  bool first = true;
  for (const Figure& f : report.figures) {
    if (!first) out += ',';
    first = false;
    AppendQuoted(out, f.key);
    out += ":{\"label\":";
    AppendQuoted(out, f.label);
    out += ",\"unit\":";
    AppendQuoted(out, f.unit);
    out += ",\"value\":";
    out += JsonNumber(f.value);
    out += ",\"floor\":";
    out += JsonNumber(f.floor);
    out += f.compare == Compare::Ratio ? ",\"ratio\":" : ",\"difference\":";
    out += JsonNumber(Comparison(f));
    if (f.aimKind != AimKind::None) {
      out += ",\"aim\":{\"kind\":";
      out += f.aimKind == AimKind::AtMost ? "\"atMost\"" : "\"atLeast\"";
      out += ",\"value\":";
      out += JsonNumber(f.aim);
      out += '}';
    }
    const std::optional<bool> met = MeetsAim(f);
    out += ",\"met\":";
    out += met ? (*met ? "true" : "false") : "null";
    out += ",\"samples\":";
    out += std::to_string(f.samples);
    out += '}';
  }
  out += "},\"notes\":[";
  for (size_t i = 0; i < report.notes.size(); ++i) {
    if (i > 0) out += ',';
    AppendQuoted(out, report.notes[i]);
  }
  out += "]}\n";
  return out;
}

std::optional<double> ParseChannelFloorMicroseconds(std::string_view output) {
  while (!output.empty()) {
    const size_t end = output.find('\n');
    std::string_view line = output.substr(0, end);
    output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
    // The floor's own line, not the one-thread reference line below it.
    const size_t trimmed = line.find_first_not_of(" \t");
    if (trimmed == std::string_view::npos || line.substr(trimmed, 5) != "floor") continue;
    const size_t colon = line.rfind(':');
    const size_t unit = line.find("us per message");
    if (colon == std::string_view::npos || unit == std::string_view::npos || unit < colon) continue;
    const std::string number(line.substr(colon + 1, unit - colon - 1));
    char* parsedEnd = nullptr;
    const double value = std::strtod(number.c_str(), &parsedEnd);
    if (parsedEnd == number.c_str() || !std::isfinite(value) || value <= 0.0) continue;
    const std::string_view rest(parsedEnd, static_cast<size_t>(number.c_str() + number.size() - parsedEnd));
    if (rest.find_first_not_of(" \t") != std::string_view::npos) continue;
    return value;
  }
  return std::nullopt;
}
