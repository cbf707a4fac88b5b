#include "channel/line_splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Everything a reader would hand to the parser: the complete lines, then the
// remainder at end of input (marked so that it cannot pass for a line).
std::vector<std::string> Split(const std::vector<std::string>& reads) {
  LineSplitter splitter;
  std::vector<std::string> out;
  for (const std::string& read : reads)
    splitter.Feed(read, [&](std::string_view line) { out.emplace_back(line); });
  if (std::optional<std::string> last = splitter.Finish()) out.push_back("<end>" + *last);
  return out;
}

TEST(LineSplitterTest, DeliversLinesWithoutTheirLfAndTheTrimmedRemainder) {
  const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
      {{"progress 0.5 DOWNLOAD\r\nstat", "us x\n"}, {"progress 0.5 DOWNLOAD\r", "status x"}},
      {{"a\nlast one"}, {"a", "<end>last one"}},
      {{"a\n \tdone \r"}, {"a", "<end>done"}},
      {{"a\n", " \t\r"}, {"a"}},
      {{"\n\r\n\n"}, {"", "\r", ""}},
      {{"a\rb\n"}, {"a\rb"}},
      {{"", "a", "", "\n", ""}, {"a"}}};
  for (const auto& [reads, lines] : cases) EXPECT_EQ(Split(reads), lines);
}

// A stream with the awkward parts: CRLF and LF ends, blank lines, lone CRs,
// NUL bytes, runs of LFs and lines longer than a read.
std::string RandomStream(std::mt19937& rng) {
  static const char kAlphabet[] = {'a', 'b', ' ', '\t', '\r', '\n', '\n', '{', '"', '\0'};
  std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
  std::uniform_int_distribution<size_t> length(0, 3000);
  std::string stream(length(rng), '\0');
  for (char& c : stream) c = kAlphabet[pick(rng)];
  if (rng() % 4 == 0) stream.append(1500, 'z');  // a line longer than any read
  return stream;
}

std::vector<std::string> RandomChunks(const std::string& stream, std::mt19937& rng) {
  std::vector<std::string> reads;
  std::uniform_int_distribution<size_t> size(1, 512);
  for (size_t at = 0; at < stream.size();) {
    const size_t n = std::min(size(rng), stream.size() - at);
    reads.push_back(stream.substr(at, n));
    at += n;
  }
  return reads;
}

TEST(LineSplitterPropertyTest, ChunkingNeverChangesTheLines) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 200; ++round) {
    const std::string stream = RandomStream(rng);
    const std::vector<std::string> whole = Split({stream});
    for (int chunking = 0; chunking < 5; ++chunking) {
      ASSERT_EQ(Split(RandomChunks(stream, rng)), whole) << "round " << round << ", chunking " << chunking;
    }
    std::vector<std::string> bytes;
    for (char c : stream) bytes.emplace_back(1, c);
    ASSERT_EQ(Split(bytes), whole) << "round " << round << ", byte by byte";
  }
}

TEST(LineSplitterTest, OverlongLineIsCutAndTheNextLineSurvives) {
  const size_t cap = LineSplitter::kMaxLineBytes;
  std::string longLine(cap, 'x');
  longLine.replace(0, 6, "status");
  const std::string stream = longLine + "TAIL-DROPPED" + "\nnext\n";
  const std::vector<std::string> expected = {longLine, "next"};
  EXPECT_EQ(Split({stream}), expected);
  std::mt19937 rng(7);
  EXPECT_EQ(Split(RandomChunks(stream, rng)), expected);
  // The same holds for the remainder at end of input.
  EXPECT_EQ(Split({longLine + "TAIL-DROPPED"}), std::vector<std::string>{"<end>" + longLine});
}

}  // namespace
