// Throughput of the updater line parser, and of splitter plus parser on a
// stream read in 512-byte pieces as the reader threads read it. Prints lines
// per second ("lines") and bytes per second for each line shape.
//   build/native/bin/tarrow_parser_benchmark
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "channel/line_parser.h"
#include "channel/line_splitter.h"

namespace {

// Typical lines of about 80 bytes.
const std::string kObjectLine =
    R"({"kind":"progress","value":0.42,"caption":"DOWNLOAD","detail":"Fetching part 3"})";
const std::string kWordLine = "progress 0.42 DOWNLOAD Fetching runtime files from the nearest mirror, part 3/8.";

std::string LongDetail() {
  std::string detail;
  while (detail.size() < 4000) detail += "Fetching runtime files from the nearest mirror. ";
  return detail;
}

const std::string kLongObjectLine =
    R"({"kind":"status","caption":"DOWNLOAD","detail":")" + LongDetail() + R"(","text":"Receiving"})";
const std::string kLongWordLine = "progress 0.42 DOWNLOAD " + LongDetail();

void CountLines(benchmark::State& state, size_t lines, size_t bytes) {
  state.counters["lines"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void ParseLine(benchmark::State& state, const std::string& line) {
  for (auto _ : state) {
    auto event = ParseUpdaterLine(line);
    benchmark::DoNotOptimize(event);
  }
  CountLines(state, state.iterations(), state.iterations() * line.size());
}

// Splits and parses a stream of the line, LF-terminated, fed in 512-byte
// reads; most lines reach the parser as views, some through the buffer.
void SplitAndParse(benchmark::State& state, const std::string& line) {
  std::string stream;
  while (stream.size() < (size_t{1} << 20)) stream += line + "\n";
  size_t lines = 0;
  for (auto _ : state) {
    LineSplitter splitter;
    for (size_t at = 0; at < stream.size(); at += 512) {
      splitter.Feed(std::string_view(stream).substr(at, 512), [&](std::string_view piece) {
        auto event = ParseUpdaterLine(piece);
        benchmark::DoNotOptimize(event);
        ++lines;
      });
    }
  }
  CountLines(state, lines, state.iterations() * stream.size());
}

BENCHMARK_CAPTURE(ParseLine, ObjectForm80, kObjectLine);
BENCHMARK_CAPTURE(ParseLine, WordForm80, kWordLine);
BENCHMARK_CAPTURE(ParseLine, ObjectFormLongDetail, kLongObjectLine);
BENCHMARK_CAPTURE(ParseLine, WordFormLongDetail, kLongWordLine);
BENCHMARK_CAPTURE(SplitAndParse, ObjectForm80, kObjectLine);
BENCHMARK_CAPTURE(SplitAndParse, WordForm80, kWordLine);

}  // namespace

BENCHMARK_MAIN();
