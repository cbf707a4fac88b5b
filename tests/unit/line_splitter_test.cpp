#include "channel/line_splitter.h"

#include <gtest/gtest.h>

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

// Chunking never changes the lines: the fuzzer checks that on every input
// (tests/fuzz); the line ends are pinned by the line-ends transcript.
TEST(LineSplitterTest, OverlongLineIsCutAndTheNextLineSurvives) {
  const size_t cap = LineSplitter::kMaxLineBytes;
  std::string longLine(cap, 'x');
  longLine.replace(0, 6, "status");
  const std::string stream = longLine + "TAIL-DROPPED" + "\nnext\n";
  const std::vector<std::string> expected = {longLine, "next"};
  EXPECT_EQ(Split({stream}), expected);
  EXPECT_EQ(Split({stream.substr(0, 700000), stream.substr(700000)}), expected);
  // The same holds for the remainder at end of input.
  EXPECT_EQ(Split({longLine + "TAIL-DROPPED"}), std::vector<std::string>{"<end>" + longLine});
}

}  // namespace
