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

struct SplitCase {
  const char* name;
  std::vector<std::string> reads;
  std::vector<std::string> lines;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class LineSplitterTest : public testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitterTest, DeliversLines) { EXPECT_EQ(Split(GetParam().reads), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    Streams, LineSplitterTest,
    testing::Values(
        SplitCase{"LineAcrossTwoReads",
                  {"progress 0.5 DOWNLOAD Receiving changes\r\nstat", "us Verifying package\n"},
                  {"progress 0.5 DOWNLOAD Receiving changes\r", "status Verifying package"}},
        SplitCase{"SeveralLinesInOneRead", {"a\nb\nc\n"}, {"a", "b", "c"}},
        SplitCase{"LastLineWithoutLf", {"a\nlast one"}, {"a", "<end>last one"}},
        SplitCase{"RemainderIsTrimmed", {"a\n \tdone \r"}, {"a", "<end>done"}},
        SplitCase{"BlankRemainderYieldsNothing", {"a\n", " \t\r"}, {"a"}},
        SplitCase{"EmptyLinesAreLines", {"\n\r\n\n"}, {"", "\r", ""}},
        SplitCase{"LfAloneInARead", {"abc", "\n", "def"}, {"abc", "<end>def"}},
        SplitCase{"CrAndLfInSeparateReads", {"abc\r", "\n"}, {"abc\r"}},
        SplitCase{"LoneCrIsNoLineEnd", {"a\rb\n"}, {"a\rb"}},
        SplitCase{"ByteByByte", {"o", "k", "\n", "x"}, {"ok", "<end>x"}},
        SplitCase{"EmptyReads", {"", "a", "", "\n", ""}, {"a"}},
        SplitCase{"NothingAtAll", {}, {}}),
    [](const testing::TestParamInfo<SplitCase>& param) { return std::string(param.param.name); });

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

TEST(LineSplitterTest, LineInsideOneReadIsAViewOfThatRead) {
  const std::string read = "first\nsecond\nrest";
  LineSplitter splitter;
  std::vector<const char*> starts;
  splitter.Feed(read, [&](std::string_view line) { starts.push_back(line.data()); });
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0], read.data());
  EXPECT_EQ(starts[1], read.data() + 6);
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

TEST(LineSplitterTest, HundredMegabytesWithoutLfStayUnderTwoMebibytes) {
  const std::string read(512, 'y');
  LineSplitter splitter;
  size_t lines = 0;
  size_t largest = 0;
  std::vector<std::string> tail;
  for (size_t fed = 0; fed < size_t{100} * 1000 * 1000; fed += read.size()) {
    splitter.Feed(read, [&](std::string_view) { ++lines; });
    largest = std::max(largest, splitter.PendingCapacity());
  }
  EXPECT_EQ(lines, 0u);
  EXPECT_LT(largest, size_t{2} << 20);
  splitter.Feed("\nafter\n", [&](std::string_view line) { tail.emplace_back(line); });
  ASSERT_EQ(tail.size(), 2u);
  EXPECT_EQ(tail[0], std::string(LineSplitter::kMaxLineBytes, 'y'));
  EXPECT_EQ(tail[1], "after");
  EXPECT_LT(splitter.PendingCapacity(), size_t{1} << 20);  // the long line's buffer is not kept
}

}  // namespace
