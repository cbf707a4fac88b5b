// Text in every script on the real window, read back from the screen: each
// script's detail line draws real glyphs (two strings of one length differ,
// neither shows a missing-glyph box, found by its shape),
// and an Arabic line runs right to left with its number and Latin word in
// order while the accessible object keeps the whole line. Every label, the
// title bar's too, takes the one text path the detail line takes.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "channel/utf8.h"
#include "tests/support/launcher_driver_win.h"
#include "tests/support/pixel_colors.h"
#include "tools/capture/screen_capture_win.h"

namespace {

// The detail line's and the title bar text's rectangles in client pixels at 96 DPI.
constexpr RECT kDetail{12, 195, 380, 217};
constexpr RECT kTitleBar{47, 10, 279, 35};

PixelImage Crop(const PixelImage& image, const RECT& area) {
  PixelImage part;
  if (image.width < area.right || image.height < area.bottom) return part;
  part.width = area.right - area.left;
  part.height = area.bottom - area.top;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) part.pixels.push_back(image.At(x, y));
  }
  return part;
}

bool Differs(uint32_t a, uint32_t b) { return ChannelDistance(a, b) > 24; }

// The columns where two pictures of one size differ: [first, last], or {-1, -1}.
std::pair<int, int> DifferingColumns(const PixelImage& a, const PixelImage& b) {
  std::pair<int, int> columns{-1, -1};
  for (int x = 0; x < a.width && a.width == b.width; ++x) {
    for (int y = 0; y < a.height; ++y) {
      if (!Differs(a.At(x, y), b.At(x, y))) continue;
      if (columns.first < 0) columns.first = x;
      columns.second = x;
      break;
    }
  }
  return columns;
}

// A missing-glyph box's outer size in pixels.
struct BoxSize {
  int width = 0;
  int height = 0;
};

bool Inked(const PixelImage& image, int x, int y) { return Differs(image.At(x, y), image.At(0, 0)); }

// The size of the box that is the first glyph of a picture: its left edge
// is the first inked column, its right edge the next column inked as far.
// The background is the picture's first pixel.
BoxSize FirstBox(const PixelImage& image) {
  for (int left = 0; left < image.width; ++left) {
    int top = 0;
    while (top < image.height && !Inked(image, left, top)) ++top;
    if (top == image.height) continue;
    int bottom = top;
    while (bottom + 1 < image.height && Inked(image, left, bottom + 1)) ++bottom;
    for (int right = left + 2; right < image.width; ++right) {
      bool edge = true;
      for (int y = top; y <= bottom && edge; ++y) edge = Inked(image, right, y);
      if (edge) return BoxSize{right - left + 1, bottom - top + 1};
    }
    return BoxSize{};
  }
  return BoxSize{};
}

// The boxes of `size` in a picture, found by their shape: inked all round
// and blank inside, so boxes side by side count one by one and a box is
// found whatever the glyphs beside it.
int CountBoxes(const PixelImage& image, BoxSize size) {
  int boxes = 0;
  for (int top = 0; top + size.height <= image.height; ++top) {
    for (int left = 0; left + size.width <= image.width; ++left) {
      const int right = left + size.width - 1, bottom = top + size.height - 1;
      bool box = size.width > 2 && size.height > 2;
      for (int y = top; y <= bottom && box; ++y) {
        for (int x = left; x <= right && box; ++x) {
          const bool outline = x == left || x == right || y == top || y == bottom;
          box = Inked(image, x, y) == outline;
        }
      }
      boxes += box ? 1 : 0;
    }
  }
  return boxes;
}

// The groups of inked columns of a picture, blank columns between them.
int InkedGroups(const PixelImage& image) {
  int groups = 0;
  bool inGroup = false;
  for (int x = 0; x < image.width; ++x) {
    bool inked = false;
    for (int y = 0; y < image.height && !inked; ++y) inked = Inked(image, x, y);
    groups += inked && !inGroup ? 1 : 0;
    inGroup = inked;
  }
  return groups;
}

// A launcher fed through its standard input. Detail lines come without a
// figure, so no stall hint replaces them however slow the machine is.
struct DetailLines {
  // The start-up preview's own detail line is the picture the first text
  // must change (the status is read back before the paint that shows it).
  explicit DetailLines(const std::wstring& arguments = L"") : run(arguments, kInputPipe), window(run.WaitForWindow()) {
    if (window == nullptr) return;
    PixelImage previous;
    EXPECT_TRUE(WaitUntil([&] {
      last = Crop(CaptureWindowFromScreen(window), kDetail);
      const bool settled = InkedGroups(last) > 0 && last.pixels == previous.pixels;
      previous = last;
      return settled;
    }, 10000)) << "the start-up detail line never settled";
  }

  // Shows `text` and returns the detail line once the screen shows it; a
  // line that does not change the picture fails the test. Every text here
  // draws ink, so a line caught blank is not yet shown.
  PixelImage Show(const std::wstring& text) {
    EXPECT_TRUE(run.Feed("progress - DOWNLOAD " + WideToUtf8(text) + "\n"));
    EXPECT_TRUE(run.WaitForStatus(text)) << Describe(run.Texts());
    PixelImage shown, previous;
    EXPECT_TRUE(WaitUntil([&] {
      shown = Crop(CaptureWindowFromScreen(window), kDetail);
      const bool settled =
          InkedGroups(shown) > 0 && shown.pixels == previous.pixels && shown.pixels != last.pixels;
      previous = shown;
      return settled;
    }, 10000)) << "the detail line never settled on a new picture";
    last = shown;
    return shown;
  }

  LauncherRun run;
  HWND window;
  PixelImage last;  // the line shown before
};

// The launcher is started for a product path of one letter in each script
// the fallback table does not name, after a letter no installed font has:
// its words reach the launcher whole, the stem is the title read back, and
// the title bar draws every letter, the first as the box, the others as
// glyphs. Private-use characters draw as boxes, side by side each found,
// and one of them leaves the glyphs of its neighbours alone.
TEST(TextScriptsTest, EveryScriptDrawsItsOwnGlyphs) {
  const std::wstring title = L"\uA7C0 \u0995 \u0B95 \u0A95 \u1780 \u10D0 \u0561 \u1200 \u0D9A";
  DetailLines lines(L"C:\\Programs\\" + title + L"\\" + title + L".exe");
  ASSERT_NE(lines.window, nullptr);
  EXPECT_EQ(lines.run.Texts().value_or(LauncherTexts{}).title, title);
  const PixelImage privateUse = lines.Show(L"\uE000\uE001\uE002");
  const BoxSize box = FirstBox(privateUse);
  EXPECT_EQ(CountBoxes(privateUse, box), 3) << "private use does not draw as boxes";
  EXPECT_EQ(CountBoxes(lines.Show(L"\U0001F512\U0001FAFF\U0001F4E6"), box), 1) << "a box takes its neighbours";
  const PixelImage titleBar = Crop(CaptureWindowFromScreen(lines.window), kTitleBar);
  EXPECT_EQ(InkedGroups(titleBar), 9) << "a letter of the title is missing";
  EXPECT_EQ(CountBoxes(titleBar, FirstBox(titleBar)), 1) << "a missing-glyph box in the title bar";
  // script, two strings of one length
  const std::tuple<const char*, std::wstring, std::wstring> cases[] = {
      {"Latin", L"Fetching runtime", L"Checking archive"},
      {"Greek", L"\u039B\u03AE\u03C8\u03B7 \u03B1\u03C1\u03C7\u03B5\u03AF\u03C9\u03BD",
       L"\u039D\u03AD\u03B1 \u03AD\u03BA\u03B4\u03BF\u03C3\u03B7 2"},
      {"Cyrillic", L"\u0417\u0430\u0433\u0440\u0443\u0437\u043A\u0430 \u0444\u0430\u0439\u043B\u043E\u0432",
       L"\u041F\u0440\u043E\u0432\u0435\u0440\u043A\u0430 \u043F\u0430\u043A\u0435\u0442\u0430"},
      {"Arabic", L"\u062C\u0627\u0631\u064D \u0627\u0644\u062A\u0646\u0632\u064A\u0644",
       L"\u062A\u062D\u0642\u0642 \u0627\u0644\u0645\u0644\u0641\u0627\u062A"},
      {"Hebrew", L"\u05DE\u05D5\u05E8\u05D9\u05D3 \u05E2\u05D3\u05DB\u05D5\u05DF",
       L"\u05D1\u05D5\u05D3\u05E7 \u05D7\u05D1\u05D9\u05DC\u05D5\u05EA"},
      {"Devanagari", L"\u092A\u0948\u0915\u0947\u091C \u091C\u093E\u0901\u091A \u0930\u0939\u093E",
       L"\u092B\u093C\u093E\u0907\u0932 \u091C\u093E\u0901\u091A \u0930\u0939\u093E"},
      {"Thai", L"\u0E01\u0E33\u0E25\u0E31\u0E07\u0E14\u0E32\u0E27\u0E19\u0E4C\u0E42\u0E2B\u0E25\u0E14",
       L"\u0E15\u0E23\u0E27\u0E08\u0E2A\u0E2D\u0E1A\u0E41\u0E1E\u0E47\u0E01\u0E40\u0E01\u0E08"},
      {"Han (Simplified)", L"\u6B63\u5728\u4E0B\u8F7D\u66F4\u65B0", L"\u6B63\u5728\u9A8C\u8BC1\u6587\u4EF6"},
      {"Han (Traditional)", L"\u6B63\u5728\u4E0B\u8F09\u66F4\u65B0", L"\u6B63\u5728\u9A57\u8B49\u6A94\u6848"},
      {"Kana", L"\u66F4\u65B0\u3092\u30C0\u30A6\u30F3\u30ED\u30FC\u30C9",
       L"\u30D1\u30C3\u30B1\u30FC\u30B8\u3092\u78BA\u8A8D\u4E2D"},
      {"Hangul", L"\uC5C5\uB370\uC774\uD2B8 \uB2E4\uC6B4\uB85C\uB4DC",
       L"\uD30C\uC77C \uD655\uC778\uD558\uB294 \uC911"},
      {"Emoji", L"\U0001F389\U0001F680\u2705\U0001F512", L"\U0001F4E6\u23F3\U0001F6E0\U0001F512"},
      // Scripts the fallback table does not name: the system's coverage finds their fonts.
      {"Bengali", L"\u0995\u0996\u0997\u0998", L"\u099A\u099B\u099C\u099D"},
      {"Tamil", L"\u0B95\u0B99\u0B9A\u0B9E", L"\u0B9F\u0BA3\u0BA4\u0BA8"},
      {"Gujarati", L"\u0A95\u0A96\u0A97\u0A98", L"\u0A9A\u0A9B\u0A9C\u0A9D"},
      {"Khmer", L"\u1780\u1781\u1782\u1783", L"\u1785\u1786\u1787\u1788"},
      {"Georgian", L"\u10D0\u10D1\u10D2\u10D3", L"\u10D4\u10D5\u10D6\u10D7"},
      {"Armenian", L"\u0561\u0562\u0563\u0564", L"\u0565\u0566\u0567\u0568"},
      {"Ethiopic", L"\u1200\u1201\u1202\u1203", L"\u1208\u1209\u120A\u120B"},
      {"Sinhala", L"\u0D9A\u0D9B\u0D9C\u0D9D", L"\u0DA0\u0DA1\u0DA2\u0DA3"},
  };
  for (const auto& [script, first, second] : cases) {
    SCOPED_TRACE(script);
    ASSERT_EQ(first.size(), second.size());
    const PixelImage a = lines.Show(first);
    const PixelImage b = lines.Show(second);
    EXPECT_NE(DifferingColumns(a, b).first, -1) << "two texts look the same";
    EXPECT_EQ(CountBoxes(a, box), 0) << "a missing-glyph box in the first text";
    EXPECT_EQ(CountBoxes(b, box), 0) << "a missing-glyph box in the second text";
  }
  EXPECT_EQ(lines.run.CloseWithEscape(), std::optional<DWORD>(0));
}

TEST(TextScriptsTest, ArabicLineRunsRightToLeftAndIsReadWhole) {
  DetailLines lines;
  ASSERT_NE(lines.window, nullptr);
  // Jarin at-tanzil 40% Runtime; the same with 70%; the first word with a
  // kasra instead of its kasratan (a mark of the same width).
  const std::wstring line = L"\u062C\u0627\u0631\u064D \u0627\u0644\u062A\u0646\u0632\u064A\u0644 40% Runtime";
  std::wstring otherNumber = line, otherMark = line;
  otherNumber[line.find(L'4')] = L'7';
  otherMark[3] = L'\u0650';
  const PixelImage shown = lines.Show(line);
  EXPECT_EQ(lines.run.Texts().value_or(LauncherTexts{}).status, line);
  const auto number = DifferingColumns(shown, lines.Show(otherNumber));
  const auto firstWord = DifferingColumns(shown, lines.Show(otherMark));
  ASSERT_NE(number.first, -1);
  ASSERT_NE(firstWord.first, -1);
  EXPECT_LT(number.second, firstWord.first) << "the number is not left of the first Arabic word";
  EXPECT_EQ(lines.run.CloseWithEscape(), std::optional<DWORD>(0));
}

// The same ideographs take the forms of the window's language: a Japanese,
// a Traditional Chinese and a Korean window each draw them otherwise than
// a Simplified Chinese one (the test rig's Noto CJK faces differ in these
// four).
TEST(TextScriptsTest, HanTakesTheFormsOfTheWindowsLanguage) {
  const std::wstring ideographs = L"\u76F4\u9AA8\u89D2\u753B";
  const wchar_t* languages[] = {L"--lang zh-Hans", L"--lang ja", L"--lang zh-Hant", L"--lang ko"};
  PixelImage shown[4];
  for (int i = 0; i < 4; ++i) {
    DetailLines lines(languages[i]);
    ASSERT_NE(lines.window, nullptr);
    shown[i] = lines.Show(ideographs);
    EXPECT_EQ(lines.run.CloseWithEscape(), std::optional<DWORD>(0));
    EXPECT_TRUE(i == 0 || DifferingColumns(shown[0], shown[i]).first != -1)
        << WideToUtf8(languages[i]) << " draws the forms of zh-Hans";
  }
}

}  // namespace
