#pragma once
// What an asset file on disk must be before it is decoded: a local file of at
// most 4 MiB that starts with the signature of its format and, for a PNG
// picture (also one inside an icon file), declares at most 4096 x 4096
// pixels. Asset files are not trusted: anything can be put beside the
// launcher or in its working folder. Portable, so the rules are tested on
// every toolchain; the file-system side is in assets_win.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr uint64_t kAssetFileBytesLimit = 4u * 1024u * 1024u;
inline constexpr uint32_t kAssetPixelsLimit = 4096;

enum class AssetFormat { Png, Ico };

struct PictureSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

// The width and height in the IHDR chunk right after the PNG signature;
// nullopt when the bytes do not start that way.
std::optional<PictureSize> PngHeaderSize(std::string_view bytes);

// Neither side 0 nor above kAssetPixelsLimit.
bool PictureSizeAllowed(PictureSize size);

// The whole file's bytes may go to the decoder: at most kAssetFileBytesLimit,
// the format's signature, and a picture size within the limit (a PNG's own
// header; for an icon file a sane directory whose images lie inside the file,
// each PNG-compressed one within the limit).
bool AssetBytesAcceptable(std::string_view bytes, AssetFormat format);

// The unsigned little-endian number of `width` bytes (at most 4) at `at`;
// the caller has checked that they lie inside `bytes`.
uint32_t LittleEndian(std::string_view bytes, size_t at, size_t width);

// The drive root ("C:\") of a full local path, "X:\..." or "\\?\X:\...";
// nullopt for every other form (a share "\\server\...", "\\?\UNC\...", a
// device "\\.\...", a relative path), which asset files may not use.
std::optional<std::wstring> LocalDriveRoot(std::wstring_view path);
