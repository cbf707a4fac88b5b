#include "ui/paint/asset_checks.h"

#include "base/path_root.h"
#include "base/text.h"

namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1A\n", 8);
constexpr std::string_view kIcoSignature("\0\0\1\0", 4);  // reserved 0, type 1 (icon)

uint32_t BigEndian32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// ICONDIR (6 bytes: reserved, type, count), then one 16-byte entry per image
// with the image's byte count at 8 and its offset at 12.
bool IconImagesAcceptable(std::string_view bytes) {
  constexpr size_t kHeader = 6;
  constexpr size_t kEntry = 16;
  if (bytes.size() < kHeader) return false;
  const uint32_t count = LittleEndian(bytes, 4, 2);
  if (count == 0 || bytes.size() < kHeader + kEntry * count) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t entry = kHeader + kEntry * i;
    const uint64_t size = LittleEndian(bytes, entry + 8, 4);
    const uint64_t offset = LittleEndian(bytes, entry + 12, 4);
    if (size == 0 || offset + size > bytes.size()) return false;
    const std::string_view image = bytes.substr(static_cast<size_t>(offset), static_cast<size_t>(size));
    if (image.substr(0, kPngSignature.size()) != kPngSignature) continue;  // a bitmap image: at most 256 x 256
    const std::optional<PictureSize> declared = PngHeaderSize(image);
    if (!declared || !PictureSizeAllowed(*declared)) return false;
  }
  return true;
}

}  // namespace

uint32_t LittleEndian(std::string_view bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = width; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::optional<PictureSize> PngHeaderSize(std::string_view bytes) {
  // Signature (8), IHDR length (4) and type (4), width (4), height (4).
  if (bytes.size() < 24 || bytes.substr(0, 8) != kPngSignature || bytes.substr(12, 4) != "IHDR") return std::nullopt;
  return PictureSize{BigEndian32(bytes, 16), BigEndian32(bytes, 20)};
}

bool PictureSizeAllowed(PictureSize size) {
  return size.width > 0 && size.height > 0 && size.width <= kAssetPixelsLimit && size.height <= kAssetPixelsLimit;
}

bool AssetBytesAcceptable(std::string_view bytes, AssetFormat format) {
  if (bytes.size() > kAssetFileBytesLimit) return false;
  if (format == AssetFormat::Png) {
    const std::optional<PictureSize> declared = PngHeaderSize(bytes);
    return declared.has_value() && PictureSizeAllowed(*declared);
  }
  return bytes.substr(0, kIcoSignature.size()) == kIcoSignature && IconImagesAcceptable(bytes);
}

std::optional<std::wstring> LocalDriveRoot(std::wstring_view path) {
  constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
  std::wstring_view rest = path;
  if (rest.substr(0, kLongPrefix.size()) == kLongPrefix) rest.remove_prefix(kLongPrefix.size());
  if (rest.size() < 3 || !IsAsciiLetter(rest[0]) || rest[1] != L':' || !IsPathSeparator(rest[2])) return std::nullopt;
  return std::wstring{rest[0], L':', L'\\'};
}
