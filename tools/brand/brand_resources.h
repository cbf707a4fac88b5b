#pragma once
// The bytes tarrow-brand writes into a launcher's resources, made and checked
// without the system: a picture's checks, an .ico file's images with the
// group directory that names them, and the version block (VS_VERSIONINFO)
// taken apart and put together again. Everything read here comes from files
// a person chose, so every length is checked before it is used.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What is wrong with a picture that must be a PNG of exactly width x height
// pixels within the asset caps; empty when nothing is.
std::string PictureProblem(std::string_view bytes, uint32_t width, uint32_t height);

// An .ico file as resources: the images as RT_ICON data, numbered from
// `firstId`, and the RT_GROUP_ICON directory naming them (each ICONDIR entry
// with its image offset replaced by the 16-bit id).
struct IconResources {
  std::string group;
  std::vector<std::string> images;
};
inline constexpr size_t kIconImagesLimit = 64;
inline constexpr uint32_t kIconPixelsMin = 16;
inline constexpr uint32_t kIconPixelsMax = 256;

struct IconReading {
  std::optional<IconResources> icon;
  std::string problem;  // what is wrong when there is no icon
};

// An icon file within the asset caps, of 1 to kIconImagesLimit images, each
// kIconPixelsMin to kIconPixelsMax pixels a side (by its directory entry and,
// for a PNG image, by the PNG's own header).
IconReading ReadIconFile(std::string_view bytes, uint16_t firstId);

// One node of a version block: a key, a value (text: UTF-16LE with its
// terminating NUL, wType 1; binary: wType 0) and the nodes inside it.
struct VersionNode {
  std::u16string key;
  uint16_t type = 0;
  std::string value;
  std::vector<VersionNode> children;
};

// The tree of a VS_VERSIONINFO resource; nullopt when any length or
// alignment does not hold.
std::optional<VersionNode> ParseVersionBlock(std::string_view bytes);

// The resource bytes of a tree: every node DWORD-aligned from the block's
// start, wLength without the padding after the node, wValueLength in UTF-16
// units for text and in bytes for binary values. Nullopt when a node would
// outgrow its 16-bit length.
std::optional<std::string> WriteVersionBlock(const VersionNode& root);

// The string table `language` ("040904B0", any case) of the block's
// StringFileInfo; null when there is none.
VersionNode* FindStringTable(VersionNode& root, std::u16string_view language);

// A string of a table without its terminating NUL; nullopt when the table
// has no such key or its value is not text.
std::optional<std::u16string> TableString(const VersionNode& table, std::u16string_view key);

// Sets (or adds, at the table's end) one string of a table.
void SetTableString(VersionNode& table, std::u16string_view key, std::u16string_view text);
