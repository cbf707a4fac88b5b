// The reader loop on inputs made by the test: disk files and pipes written in
// chosen pieces, the standard-input test, and the post itself.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/win_owners_win.h"
#include "channel/launch_message_win.h"
#include "channel/stdin_reader_win.h"
#include "tests/integration/channel_event_window_win.h"

namespace {

struct Pipe {
  UniqueHandle read;
  UniqueHandle write;
};

Pipe MakePipe() {
  HANDLE r = nullptr;
  HANDLE w = nullptr;
  EXPECT_TRUE(CreatePipe(&r, &w, nullptr, 0));
  return Pipe{UniqueHandle(r), UniqueHandle(w)};
}

UniqueHandle OpenForReading(const std::wstring& path) {
  return UniqueHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Writes each piece with its own WriteFile, pausing in between so that the
// reader's next read returns just that piece, then closes the write end.
std::thread WritePieces(UniqueHandle writeEnd, std::vector<std::string> pieces) {
  return std::thread([w = std::move(writeEnd), pieces = std::move(pieces)]() mutable {
    for (const std::string& piece : pieces) {
      DWORD written = 0;
      WriteFile(w.get(), piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr);
      Sleep(30);
    }
    w.reset();
  });
}

struct StreamCase {
  const char* name;
  std::vector<std::string> pieces;
  std::vector<std::wstring> events;  // Summary() of each event, in order
};

const std::vector<StreamCase>& StreamCases() {
  static const std::vector<StreamCase> cases = {
      {"LineAcrossTwoReads",
       {"progress 0.5 DOWNLOAD Receiving changes\r\nstat", "us Verifying package\n"},
       {L"progress|DOWNLOAD|Receiving changes", L"status||Verifying package"}},
      {"OneBytePerRead",
       {"s", "t", "a", "t", "u", "s", " ", "o", "k", "\r", "\n", "d", "o", "n", "e", "\n"},
       {L"status||ok", L"done||"}},
      {"SeveralLinesInOneRead", {"status a\nstatus b\nstatus c\n"}, {L"status||a", L"status||b", L"status||c"}},
      {"CrlfEndsNeverReachAField", {"status a\r\n", "error b\r\n"}, {L"status||a", L"error||b"}},
      {"LoneCrStaysInsideTheLine", {"status a\rb\n"}, {L"status||a\rb"}},
      {"LastLineWithoutLf", {"status first\n", "done"}, {L"status||first", L"done||"}},
      {"BlankLinesAndTrailingBlanksPostNothing",
       {"\n  \t\r\n", "status x\n", "\r\n \t "},
       {L"status||x"}},
      {"ZeroLengthWriteIsNotTheEnd", {"status a\n", "", "status b\n"}, {L"status||a", L"status||b"}},
      {"LongLineAcrossManyReads",
       {"status " + std::string(1500, 'x') + "\nstatus tail\n"},
       {L"status||" + std::wstring(1500, L'x'), L"status||tail"}},
      {"NothingAtAll", {}, {}},
  };
  return cases;
}

class ReaderStreamTest : public testing::TestWithParam<StreamCase> {};

TEST_P(ReaderStreamTest, PipeDeliversEveryLineOnceAndInOrder) {
  EventWindow window;
  Pipe pipe = MakePipe();
  std::thread writer = WritePieces(std::move(pipe.write), GetParam().pieces);
  RunReader(pipe.read.get(), window.handle(), nullptr);  // returns at the end of the input
  writer.join();
  window.PumpFor(50);
  EXPECT_EQ(Summaries(window.events()), GetParam().events);
}

TEST_P(ReaderStreamTest, DiskFileDeliversTheSameEvents) {
  std::string bytes;
  for (const std::string& piece : GetParam().pieces) bytes += piece;
  TempFile file(bytes);
  UniqueHandle input = OpenForReading(file.path());
  ASSERT_NE(input.get(), INVALID_HANDLE_VALUE);
  EventWindow window;
  RunReader(input.get(), window.handle(), nullptr);
  window.PumpFor(20);
  EXPECT_EQ(Summaries(window.events()), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(Streams, ReaderStreamTest, testing::ValuesIn(StreamCases()),
                         [](const testing::TestParamInfo<StreamCase>& param) { return std::string(param.param.name); });

// Kinds of standard input and whether a reader is started for them.
struct InputKindCase {
  const char* name;
  HANDLE (*make)(std::vector<UniqueHandle>& keep);
  bool readable;
};

HANDLE MakeDiskFile(std::vector<UniqueHandle>& keep) {
  static TempFile file("status from file\n");
  keep.push_back(OpenForReading(file.path()));
  return keep.back().get();
}

HANDLE MakePipeReadEnd(std::vector<UniqueHandle>& keep) {
  Pipe pipe = MakePipe();
  keep.push_back(std::move(pipe.write));
  keep.push_back(std::move(pipe.read));
  return keep.back().get();
}

HANDLE MakeNullDevice(std::vector<UniqueHandle>& keep) {
  keep.emplace_back(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr));
  return keep.back().get();
}

HANDLE MakeNothing(std::vector<UniqueHandle>&) { return nullptr; }
HANDLE MakeInvalid(std::vector<UniqueHandle>&) { return INVALID_HANDLE_VALUE; }

class StandardInputKindTest : public testing::TestWithParam<InputKindCase> {};

TEST_P(StandardInputKindTest, OnlyDiskFilesAndPipesAreRead) {
  std::vector<UniqueHandle> keep;
  EXPECT_EQ(IsReadableStandardInput(GetParam().make(keep)), GetParam().readable);
}

INSTANTIATE_TEST_SUITE_P(Kinds, StandardInputKindTest,
                         testing::Values(InputKindCase{"DiskFile", MakeDiskFile, true},
                                         InputKindCase{"Pipe", MakePipeReadEnd, true},
                                         InputKindCase{"NullDevice", MakeNullDevice, false},
                                         InputKindCase{"Null", MakeNothing, false},
                                         InputKindCase{"InvalidHandle", MakeInvalid, false}),
                         [](const testing::TestParamInfo<InputKindCase>& param) {
                           return std::string(param.param.name);
                         });

// Swaps the process's standard input for the length of a test.
class StandardInputSwap {
 public:
  explicit StandardInputSwap(HANDLE input) : saved_(GetStdHandle(STD_INPUT_HANDLE)) {
    SetStdHandle(STD_INPUT_HANDLE, input);
  }
  ~StandardInputSwap() { SetStdHandle(STD_INPUT_HANDLE, saved_); }
  StandardInputSwap(const StandardInputSwap&) = delete;
  StandardInputSwap& operator=(const StandardInputSwap&) = delete;

 private:
  HANDLE saved_;
};

TEST(StdinReaderTest, DiskFileIsReadToItsEndOnAThreadOfItsOwn) {
  TempFile file("progress 0.1 LINK a\nstatus b\ndone");
  UniqueHandle input = OpenForReading(file.path());
  EventWindow window;
  {
    StandardInputSwap swap(input.get());
    StartStdinReader(window.handle());
  }
  ASSERT_TRUE(window.WaitForEvents(3, 5000));
  window.PumpFor(100);  // no exit-code report follows: there is no process
  EXPECT_EQ(Summaries(window.events()), (std::vector<std::wstring>{L"progress|LINK|a", L"status||b", L"done||"}));
  // The reader has ended without closing standard input.
  DWORD flags = 0;
  EXPECT_TRUE(GetHandleInformation(input.get(), &flags));
}

TEST(StdinReaderTest, PipeIsReadAsItIsWritten) {
  Pipe pipe = MakePipe();
  HANDLE writeEnd = pipe.write.get();
  EventWindow window;
  {
    StandardInputSwap swap(pipe.read.get());
    StartStdinReader(window.handle());
  }
  DWORD written = 0;
  WriteFile(writeEnd, "status one\n", 11, &written, nullptr);
  ASSERT_TRUE(window.WaitForEvents(1, 5000));
  WriteFile(writeEnd, "status two\n", 11, &written, nullptr);
  ASSERT_TRUE(window.WaitForEvents(2, 5000));
  EXPECT_EQ(Summaries(window.events()), (std::vector<std::wstring>{L"status||one", L"status||two"}));
  pipe.write.reset();  // the reader sees the end and returns
  window.PumpFor(50);
}

TEST(StdinReaderTest, NullDeviceStartsNoReader) {
  std::vector<UniqueHandle> keep;
  HANDLE nul = MakeNullDevice(keep);
  ASSERT_NE(nul, INVALID_HANDLE_VALUE);
  EventWindow window;
  {
    StandardInputSwap swap(nul);
    StartStdinReader(window.handle());
  }
  window.PumpFor(100);
  EXPECT_TRUE(window.events().empty());
}

TEST(PostLaunchEventTest, NoEventPostsNothing) {
  EventWindow window;
  PostLaunchEvent(window.handle(), nullptr);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_LAUNCH_EVENT, WM_LAUNCH_EVENT, PM_NOREMOVE));
}

TEST(PostLaunchEventTest, WindowThatIsGoneTakesNoEventAndTheCallReturns) {
  HWND gone = nullptr;
  {
    EventWindow window;
    gone = window.handle();
  }
  auto event = std::make_unique<LaunchEvent>();
  event->kind = L"done";
  PostLaunchEvent(gone, std::move(event));  // freed inside; must not retry forever
  EXPECT_EQ(DiscardQueuedLaunchEvents(), 0u);
}

}  // namespace
