#include "tools/brand/brand_resources.h"

#include "ui/paint/asset_checks.h"

namespace {

constexpr size_t kIconDirBytes = 6;
constexpr size_t kIconEntryBytes = 16;
constexpr size_t kGroupEntryBytes = 14;
// A version block's nodes nest three deep (block, StringFileInfo, table,
// string); anything much deeper is no version block.
constexpr int kVersionDepthLimit = 8;

std::string SizeText(uint32_t width, uint32_t height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

void PutLittleEndian(std::string& out, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void SetLittleEndian16(std::string& out, size_t at, uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

size_t Aligned(size_t at) { return (at + 3) & ~size_t{3}; }

void PadToDword(std::string& out) { out.resize(Aligned(out.size()), '\0'); }

bool SideAllowed(uint32_t side) { return side >= kIconPixelsMin && side <= kIconPixelsMax; }

std::u16string AsciiLowered(std::u16string_view text) {
  std::u16string lowered(text);
  for (char16_t& c : lowered) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return lowered;
}

// The node at `at`, which lies within [at, end) of `bytes`.
std::optional<VersionNode> ParseNode(std::string_view bytes, size_t at, size_t end, int depth) {
  if (depth > kVersionDepthLimit || at + 6 > end) return std::nullopt;
  const size_t length = LittleEndian(bytes, at, 2);
  const size_t valueLength = LittleEndian(bytes, at + 2, 2);
  VersionNode node;
  node.type = static_cast<uint16_t>(LittleEndian(bytes, at + 4, 2));
  if (length < 6 || length > end - at || node.type > 1) return std::nullopt;
  const size_t nodeEnd = at + length;
  size_t p = at + 6;
  for (;; p += 2) {
    if (p + 2 > nodeEnd) return std::nullopt;
    const auto unit = static_cast<char16_t>(LittleEndian(bytes, p, 2));
    if (unit == 0) break;
    node.key += unit;
  }
  p = Aligned(p + 2);
  const size_t valueBytes = node.type == 1 ? valueLength * 2 : valueLength;
  if (valueBytes > 0) {
    if (p > nodeEnd || valueBytes > nodeEnd - p) return std::nullopt;
    node.value.assign(bytes.substr(p, valueBytes));
    p += valueBytes;
  }
  for (p = Aligned(p); p < nodeEnd; p = Aligned(p)) {
    std::optional<VersionNode> child = ParseNode(bytes, p, nodeEnd, depth + 1);
    if (!child) return std::nullopt;
    p += LittleEndian(bytes, p, 2);
    node.children.push_back(std::move(*child));
  }
  return node;
}

bool WriteNode(const VersionNode& node, std::string& out) {
  PadToDword(out);
  const size_t start = out.size();
  PutLittleEndian(out, 0, 2);  // wLength, set below
  PutLittleEndian(out, static_cast<uint32_t>(node.type == 1 ? node.value.size() / 2 : node.value.size()), 2);
  PutLittleEndian(out, node.type, 2);
  for (char16_t unit : node.key) PutLittleEndian(out, unit, 2);
  PutLittleEndian(out, 0, 2);
  PadToDword(out);
  out += node.value;
  for (const VersionNode& child : node.children) {
    if (!WriteNode(child, out)) return false;
  }
  const size_t length = out.size() - start;
  if (length > 0xFFFF || node.value.size() > 0xFFFF) return false;
  SetLittleEndian16(out, start, static_cast<uint32_t>(length));
  return true;
}

// The first child whose key matches `key` regardless of ASCII case.
template <typename Node>
Node* FindChild(Node& node, std::u16string_view key) {
  const std::u16string wanted = AsciiLowered(key);
  for (Node& child : node.children) {
    if (AsciiLowered(child.key) == wanted) return &child;
  }
  return nullptr;
}

std::string TextValue(std::u16string_view text) {
  std::string value;
  for (char16_t unit : text) PutLittleEndian(value, unit, 2);
  PutLittleEndian(value, 0, 2);
  return value;
}

}  // namespace

std::string PictureProblem(std::string_view bytes, uint32_t width, uint32_t height) {
  const std::optional<PictureSize> size = PngHeaderSize(bytes);
  if (!size) return "is not a PNG picture";
  if (bytes.size() > kAssetFileBytesLimit) {
    return "is " + std::to_string(bytes.size()) + " bytes; a picture has at most " +
           std::to_string(kAssetFileBytesLimit) + " (4 MiB)";
  }
  if (size->width != width || size->height != height) {
    return "is " + SizeText(size->width, size->height) + ", not " + SizeText(width, height);
  }
  if (!AssetBytesAcceptable(bytes, AssetFormat::Png)) return "is not a picture the launcher accepts";
  return {};
}

IconReading ReadIconFile(std::string_view bytes, uint16_t firstId) {
  if (bytes.size() > kAssetFileBytesLimit) {
    return {std::nullopt, "is " + std::to_string(bytes.size()) + " bytes; an icon file has at most " +
                              std::to_string(kAssetFileBytesLimit) + " (4 MiB)"};
  }
  if (!AssetBytesAcceptable(bytes, AssetFormat::Ico)) return {std::nullopt, "is not an .ico file"};
  const size_t count = LittleEndian(bytes, 4, 2);
  if (count > kIconImagesLimit || firstId + count > 0xFFFF) {
    return {std::nullopt, "holds " + std::to_string(count) + " images; at most " + std::to_string(kIconImagesLimit)};
  }
  IconResources icon;
  icon.group.assign(bytes.substr(0, kIconDirBytes));
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = kIconDirBytes + kIconEntryBytes * i;
    const uint32_t width = LittleEndian(bytes, entry, 1) == 0 ? 256 : LittleEndian(bytes, entry, 1);
    const uint32_t height = LittleEndian(bytes, entry + 1, 1) == 0 ? 256 : LittleEndian(bytes, entry + 1, 1);
    const std::string_view image = bytes.substr(LittleEndian(bytes, entry + 12, 4), LittleEndian(bytes, entry + 8, 4));
    const std::optional<PictureSize> png = PngHeaderSize(image);
    if (!SideAllowed(width) || !SideAllowed(height) ||
        (png && (!SideAllowed(png->width) || !SideAllowed(png->height)))) {
      const PictureSize shown = png ? *png : PictureSize{width, height};
      return {std::nullopt, "image " + std::to_string(i + 1) + " is " + SizeText(shown.width, shown.height) +
                                "; icon images are 16 to 256 pixels a side"};
    }
    icon.group.append(bytes.substr(entry, kGroupEntryBytes - 2));
    PutLittleEndian(icon.group, static_cast<uint32_t>(firstId + i), 2);
    icon.images.emplace_back(image);
  }
  return {std::move(icon), {}};
}

std::optional<VersionNode> ParseVersionBlock(std::string_view bytes) { return ParseNode(bytes, 0, bytes.size(), 0); }

std::optional<std::string> WriteVersionBlock(const VersionNode& root) {
  std::string out;
  if (!WriteNode(root, out)) return std::nullopt;
  return out;
}

VersionNode* FindStringTable(VersionNode& root, std::u16string_view language) {
  VersionNode* strings = FindChild(root, u"StringFileInfo");
  return strings != nullptr ? FindChild(*strings, language) : nullptr;
}

std::optional<std::u16string> TableString(const VersionNode& table, std::u16string_view key) {
  const VersionNode* found = FindChild(table, key);
  if (found == nullptr || found->type != 1) return std::nullopt;
  std::u16string text;
  for (size_t at = 0; at + 1 < found->value.size(); at += 2) {
    text += static_cast<char16_t>(LittleEndian(found->value, at, 2));
  }
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

void SetTableString(VersionNode& table, std::u16string_view key, std::u16string_view text) {
  VersionNode* found = FindChild(table, key);
  if (found == nullptr) found = &table.children.emplace_back(VersionNode{std::u16string(key), 1, {}, {}});
  found->type = 1;
  found->value = TextValue(text);
  found->children.clear();
}
