// A launcher without embedded artwork (tarrow-launcher-bare.exe) finds
// broken pictures and icons on disk, beside itself and in its working folder:
// truncated, corrupt, absurd sizes, empty, random, or folders of those names.
// Whatever it finds, the window opens, answers and closes with exit code 0.
// A valid picture far too large to be an asset is left undecoded.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "tests/robustness/robust_launcher_win.h"
#include "tests/support/launcher_driver_win.h"
#include "tools/capture/screen_capture_win.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::string;
// Turns the real file into a broken one; nullopt makes a folder of that name.
using Breaker = std::function<std::optional<Bytes>(const Bytes& real)>;

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Crc32(const char* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= static_cast<unsigned char>(data[i]);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

void PutLittleEndian(Bytes& bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t LittleEndian(const Bytes& bytes, size_t at, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
  return value;
}

// PNG: signature (8), IHDR length and type (8), width and height at 16 and
// 20, the IHDR's CRC over type and data at 29. The CRC is made right again,
// so the decoder believes the dimensions.
Breaker PngWithSize(uint32_t width, uint32_t height) {
  return [=](const Bytes& real) -> std::optional<Bytes> {
    Bytes png = real;
    PutBigEndian(png, 16, width);
    PutBigEndian(png, 20, height);
    PutBigEndian(png, 29, Crc32(png.data() + 12, 17));
    return png;
  };
}

Breaker Prefix(size_t bytes) {
  return [=](const Bytes& real) -> std::optional<Bytes> { return real.substr(0, bytes); };
}

Breaker AllButLast() {
  return [](const Bytes& real) -> std::optional<Bytes> { return real.substr(0, real.size() - 1); };
}

Breaker Half() {
  return [](const Bytes& real) -> std::optional<Bytes> { return real.substr(0, real.size() / 2); };
}

// Every byte from `from` on XORed: the structure up front is intact, the
// data behind it is not.
Breaker Scramble(size_t from) {
  return [=](const Bytes& real) -> std::optional<Bytes> {
    Bytes broken = real;
    for (size_t i = from; i < broken.size(); ++i) broken[i] = static_cast<char>(broken[i] ^ 0x5A);
    return broken;
  };
}

Breaker Random(size_t size) {
  return [=](const Bytes&) -> std::optional<Bytes> {
    Bytes bytes(size, '\0');
    uint32_t x = 2463534242u;
    for (char& c : bytes) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      c = static_cast<char>(x & 0xFF);
    }
    return bytes;
  };
}

Breaker Folder() {
  return [](const Bytes&) -> std::optional<Bytes> { return std::nullopt; };
}

// ICO: reserved (2), type (2), count (2), then 16-byte entries whose size
// sits at 8 and data offset at 12.
Breaker IcoHeaderClaiming(uint32_t count) {
  return [=](const Bytes& real) -> std::optional<Bytes> {
    Bytes ico = real.substr(0, 6);
    PutLittleEndian(ico, 4, count, 2);
    return ico;
  };
}

Breaker IcoEntries(const std::function<void(Bytes&, size_t entry)>& change) {
  return [=](const Bytes& real) -> std::optional<Bytes> {
    Bytes ico = real;
    const uint32_t count = LittleEndian(ico, 4, 2);
    for (uint32_t i = 0; i < count && 6 + 16 * (i + 1) <= ico.size(); ++i) change(ico, 6 + 16 * i);
    return ico;
  };
}

// The images of the icon (PNG-compressed) with their data scrambled behind
// the PNG signature and header.
Breaker IcoImagesScrambled() {
  return IcoEntries([](Bytes& ico, size_t entry) {
    const uint32_t size = LittleEndian(ico, entry + 8, 4);
    const uint32_t offset = LittleEndian(ico, entry + 12, 4);
    for (size_t i = offset + 33; i < offset + size && i < ico.size(); ++i) ico[i] = static_cast<char>(ico[i] ^ 0x5A);
  });
}

struct BrokenArtCase {
  const char* name;
  Breaker picture;
  Breaker icon;
};

class BrokenArtworkOnDisk : public testing::TestWithParam<BrokenArtCase> {
 protected:
  void TearDown() override {
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }

  fs::path folder_;
};

void WriteBroken(const fs::path& path, const Breaker& breaker, const Bytes& real) {
  const std::optional<Bytes> bytes = breaker(real);
  if (!bytes) {
    fs::create_directories(path);
    return;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
}

TEST_P(BrokenArtworkOnDisk, WindowStillOpensAnswersAndCloses) {
  const fs::path resources(TARROW_RESOURCES_DIR);
  const Bytes picture = ReadAll(resources / "assets" / "tarrow-bg-v1.png");
  const Bytes icon = ReadAll(resources / "control.ico");
  ASSERT_GT(picture.size(), 100u);
  ASSERT_GT(icon.size(), 100u);

  wchar_t temp[MAX_PATH + 1] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  folder_ = fs::path(temp) / (L"tarrow-robust-" + std::to_wstring(GetCurrentProcessId())) / GetParam().name;
  fs::create_directories(folder_ / "assets");
  const fs::path launcher = folder_ / "tarrow-launcher-bare.exe";
  fs::copy_file(BuiltProgram(L"tarrow-launcher-bare.exe"), launcher, fs::copy_options::overwrite_existing);
  WriteBroken(folder_ / "assets" / "tarrow-bg-v1.png", GetParam().picture, picture);
  WriteBroken(folder_ / "control.ico", GetParam().icon, icon);

  LauncherProcess run(launcher.wstring(), L"", nullptr, folder_.wstring());
  ASSERT_TRUE(run.started());
  ASSERT_NE(run.WaitForWindow(), nullptr) << "no window; exit code " << HexCode(run.WaitForExit(0).value_or(259));
  DWORD_PTR ignored = 0;
  EXPECT_NE(SendMessageTimeoutW(run.window(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored), 0)
      << "the window does not answer";
  PostKeyDown(run.window(), VK_ESCAPE);
  EXPECT_TRUE(run.WaitForWindowClosed(2000));
  const std::optional<DWORD> code = run.WaitForExit(10000);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u) << HexCode(*code);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenArtworkOnDisk,
    testing::Values(
        BrokenArtCase{"signatureOnly_headerOnly", Prefix(8), IcoHeaderClaiming(7)},
        BrokenArtCase{"cutInHalf", Half(), Half()},
        BrokenArtCase{"lastByteMissing_countOf65535", AllButLast(), IcoHeaderClaiming(0xFFFF)},
        BrokenArtCase{"hugeDimensions_offsetsPastTheEnd", PngWithSize(0x7FFFFFFF, 0x7FFFFFFF),
                      IcoEntries([](Bytes& ico, size_t e) { PutLittleEndian(ico, e + 12, 0x7FFFFFF0u, 4); })},
        BrokenArtCase{"zeroDimensions_hugeSizes", PngWithSize(0, 0),
                      IcoEntries([](Bytes& ico, size_t e) { PutLittleEndian(ico, e + 8, 0x7FFFFFFFu, 4); })},
        BrokenArtCase{"largeButPlausibleDimensions_zeroSizes", PngWithSize(30000, 30000),
                      IcoEntries([](Bytes& ico, size_t e) { PutLittleEndian(ico, e + 8, 0u, 4); })},
        BrokenArtCase{"scrambledImageData", Scramble(64), IcoImagesScrambled()},
        BrokenArtCase{"emptyFiles", Prefix(0), Prefix(0)},
        BrokenArtCase{"randomBytes", Random(70000), Random(5000)},
        BrokenArtCase{"foldersNamedLikeTheFiles", Folder(), Folder()}),
    [](const testing::TestParamInfo<BrokenArtCase>& param) { return std::string(param.param.name); });

// A bare launcher in a folder of its own, with the picture as its
// assets/tarrow-bg-v1.png or without any asset file, run until its window has
// painted: the peak working set and the header card's pixels.
struct BareRun {
  std::optional<uint64_t> peak;
  ScreenPixels shown;
  std::optional<DWORD> exitCode;
};

BareRun RunBareLauncher(const fs::path& folder, const fs::path* picture) {
  fs::create_directories(folder / "assets");
  fs::copy_file(BuiltProgram(L"tarrow-launcher-bare.exe"), folder / "tarrow-launcher-bare.exe",
                fs::copy_options::overwrite_existing);
  if (picture != nullptr) {
    fs::copy_file(*picture, folder / "assets" / "tarrow-bg-v1.png", fs::copy_options::overwrite_existing);
  }
  BareRun result;
  LauncherProcess run((folder / "tarrow-launcher-bare.exe").wstring(), L"", nullptr, folder.wstring());
  if (run.WaitForWindow() == nullptr) return result;
  Sleep(1500);
  result.peak = run.PeakWorkingSet();
  result.shown = CaptureWindowFromScreen(run.window());
  PostKeyDown(run.window(), VK_ESCAPE);
  result.exitCode = run.WaitForExit(10000);
  return result;
}

// A 10,000 x 10,000 picture (made at build time) as the assets\ file: the
// file in assets: the window opens with the plain header card, as with no file at all, and the
// picture is never decoded.
TEST(OversizedPictureOnDisk, IsLeftOutAndCostsNoMemory) {
  const fs::path picture = fs::path(BuiltProgram(L"oversized-picture.png"));
  if (!fs::exists(picture)) GTEST_SKIP() << "no oversized-picture.png was made (no Python at build time)";
  wchar_t temp[MAX_PATH + 1] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const fs::path root = fs::path(temp) / (L"tarrow-oversized-" + std::to_wstring(GetCurrentProcessId()));
  const BareRun plain = RunBareLauncher(root / "plain", nullptr);
  const BareRun oversized = RunBareLauncher(root / "oversized", &picture);
  std::error_code ignored;
  fs::remove_all(root, ignored);

  ASSERT_TRUE(plain.peak.has_value());
  ASSERT_TRUE(oversized.peak.has_value()) << "no window beside the oversized picture";
  EXPECT_EQ(oversized.exitCode, std::optional<DWORD>(0));
  constexpr double kMegabyte = 1024.0 * 1024.0;
  const double growthMb = (static_cast<double>(*oversized.peak) - static_cast<double>(*plain.peak)) / kMegabyte;
  std::printf("peak working set: %.1f MB without asset files, %.1f MB beside a 10,000 x 10,000 PNG (%+.1f MB)\n",
              static_cast<double>(*plain.peak) / kMegabyte, static_cast<double>(*oversized.peak) / kMegabyte,
              growthMb);
  EXPECT_LT(growthMb, 16.0);

  // The header card right of the chip and above the title, where a white
  // picture would show: the same pixels as the plain card.
  ASSERT_GE(plain.shown.width, 392);
  ASSERT_GE(oversized.shown.width, 392);
  int differing = 0;
  for (int32_t y = 50; y < 90; ++y) {
    for (int32_t x = 240; x < 370; ++x) differing += plain.shown.At(x, y) != oversized.shown.At(x, y) ? 1 : 0;
  }
  EXPECT_EQ(differing, 0) << "the header card is not the plain card";
}

}  // namespace
