#include "ui/paint/assets_win.h"

#include <objbase.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/gdiplus_api_win.h"
#include "base/module_path_win.h"
#include "ui/paint/asset_checks.h"

namespace {

// Resource ids are 16-bit integers; 0 names no resource.
bool IsResourceId(uint32_t id) { return id != 0 && id <= 0xFFFF; }

LPCWSTR ResourceName(uint32_t id) { return MAKEINTRESOURCEW(static_cast<WORD>(id)); }

// Longest name a module file name or a current directory can have, with room
// to spare; a buffer that size is never cut.
constexpr size_t kLongestPathBuffer = 65536;

// The drive of a full local path, unless the system reports it as a network
// drive.
bool OnLocalDrive(const std::wstring& path) {
  const std::optional<std::wstring> root = LocalDriveRoot(path);
  return root.has_value() && GetDriveTypeW(root->c_str()) != DRIVE_REMOTE;
}

constexpr DWORD kNotARegularFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;

// The bytes of an asset file that may be decoded (AssetBytesAcceptable), read
// in full and closed again; nullopt for anything else. Only a regular file on
// a local drive qualifies: no folder, link or other reparse point, device,
// share or network drive. The checks are made on the path and again on the
// opened file, which is where the bytes come from.
std::optional<std::string> ReadAssetFile(const std::wstring& path, AssetFormat format) {
  if (!OnLocalDrive(path)) return std::nullopt;
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) return std::nullopt;
  if ((attributes.dwFileAttributes & kNotARegularFile) != 0) return std::nullopt;
  if (attributes.nFileSizeHigh != 0 || attributes.nFileSizeLow > kAssetFileBytesLimit) return std::nullopt;

  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION opened{};
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &opened) ||
      (opened.dwFileAttributes & kNotARegularFile) != 0 || opened.nFileSizeHigh != 0 ||
      opened.nFileSizeLow > kAssetFileBytesLimit) {
    return std::nullopt;
  }
  // Where the path really led, through linked folders on the way.
  std::wstring finalPath(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file.get(), finalPath.data(), static_cast<DWORD>(finalPath.size()), 0);
  if (length >= finalPath.size() && length < kLongestPathBuffer) {
    finalPath.resize(length);
    length = GetFinalPathNameByHandleW(file.get(), finalPath.data(), static_cast<DWORD>(finalPath.size()), 0);
  }
  if (length == 0 || length >= finalPath.size()) return std::nullopt;
  finalPath.resize(length);
  if (!OnLocalDrive(finalPath)) return std::nullopt;

  // One byte more than the size is asked for, so a file that grew since the
  // check shows as changed.
  std::string bytes(static_cast<size_t>(opened.nFileSizeLow) + 1, '\0');
  size_t filled = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled), &got, nullptr)) {
      return std::nullopt;
    }
    if (got == 0) break;
    filled += got;
    if (filled == bytes.size()) return std::nullopt;
  }
  bytes.resize(filled);
  if (!AssetBytesAcceptable(bytes, format)) return std::nullopt;
  return bytes;
}

// The icon in the checked bytes of an .ico file, at the system's standard
// icon size; the file is not opened again. LookupIconIdFromDirectoryEx picks
// the entry that suits the size best, as the system does within an icon
// group, and CreateIconFromResourceEx makes the icon from that entry's image.
// Null on any failure.
HICON IconFromIcoBytes(std::string_view bytes) {
  constexpr size_t kHeader = 6;      // reserved, type, count
  constexpr size_t kFileEntry = 16;  // ... bytes in the image at 8, its offset at 12
  constexpr size_t kIdAt = 12;       // a group entry: the same first 12 bytes, then a 16-bit id
  if (bytes.size() < kHeader) return nullptr;
  const size_t count = LittleEndian(bytes, 4, 2);
  if (count == 0 || bytes.size() < kHeader + kFileEntry * count) return nullptr;
  // The directory in the layout of an icon group resource, whose entries
  // name their image by id (here the entry's number, from 1) for an offset.
  std::string group(bytes.substr(0, kHeader));
  for (size_t i = 0; i < count; ++i) {
    group.append(bytes.substr(kHeader + kFileEntry * i, kIdAt));
    group.push_back(static_cast<char>((i + 1) & 0xFF));
    group.push_back(static_cast<char>((i + 1) >> 8));
  }
  const int width = GetSystemMetrics(SM_CXICON);
  const int height = GetSystemMetrics(SM_CYICON);
  const int id = LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(group.data()), TRUE, width, height,
                                             LR_DEFAULTCOLOR);
  if (id < 1 || static_cast<size_t>(id) > count) return nullptr;
  const size_t entry = kHeader + kFileEntry * static_cast<size_t>(id - 1);
  const size_t size = LittleEndian(bytes, entry + 8, 4);
  const size_t offset = LittleEndian(bytes, entry + 12, 4);
  if (size == 0 || offset > bytes.size() || size > bytes.size() - offset) return nullptr;
  std::string image(bytes.substr(offset, size));  // the call takes a writable pointer
  return CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), static_cast<DWORD>(size), TRUE, 0x00030000,
                                  width, height, LR_DEFAULTCOLOR);
}

}  // namespace

namespace {

const wchar_t* const kRcData = MAKEINTRESOURCEW(10);     // RT_RCDATA
const wchar_t* const kGroupIcon = MAKEINTRESOURCEW(14);  // RT_GROUP_ICON

// The bytes of resource `id` of `type` in the running executable; empty when
// it is missing. They live as long as the process.
std::string_view ResourceBytes(uint32_t id, const wchar_t* type) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = IsResourceId(id) ? FindResourceW(module, ResourceName(id), type) : nullptr;
  HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return std::string_view(static_cast<const char*>(bytes), SizeofResource(module, info));
}

}  // namespace

namespace {

// A PNG of exactly width x height pixels that passes the asset checks.
bool PictureAcceptable(std::string_view png, uint32_t width, uint32_t height) {
  const std::optional<PictureSize> size = PngHeaderSize(png);
  return size && size->width == width && size->height == height && AssetBytesAcceptable(png, AssetFormat::Png);
}

}  // namespace

std::optional<EmbeddedBrand> ReadEmbeddedBrand() {
  constexpr size_t kLongestText = 4096;
  const std::string_view text = ResourceBytes(kBrandTextResourceId, kRcData);
  if (text.empty() || text.size() > kLongestText) return std::nullopt;
  const BrandReading reading = ReadBrand(text);
  if (!reading.errors.empty()) return std::nullopt;
  const bool picture =
      PictureAcceptable(ResourceBytes(kBrandPictureResourceId, kRcData), 800, 400);
  const bool picture2x =
      picture && PictureAcceptable(ResourceBytes(kBrandPicture2xResourceId, kRcData), 1600, 800);
  const bool icon = !ResourceBytes(kBrandIconResourceId, kGroupIcon).empty();
  EmbeddedBrand embedded{reading.brand, {}};
  embedded.profile = BrandedProfile(reading.brand, picture ? kBrandPictureResourceId : 0,
                                    picture2x ? kBrandPicture2xResourceId : 0, icon ? kBrandIconResourceId : 0);
  return embedded;
}

std::wstring GetModuleDirectory() { return ParentDirectory(ModulePath()); }

std::wstring GetCurrentDirectoryPath() {
  std::wstring path(MAX_PATH, L'\0');
  // Another thread may change the directory between two calls, so the size
  // asked for can be outdated; a few rounds settle it.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD count = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    if (count == 0) return {};
    if (count < path.size()) {
      path.resize(count);
      return path;
    }
    if (count >= kLongestPathBuffer) return {};
    path.resize(static_cast<size_t>(count) + 1);
  }
  return {};
}

std::wstring FindAssetFile(const std::vector<std::wstring>& candidates) {
  if (candidates.empty()) return {};
  // The attribute query answers for files, folders and links alike. It fails
  // with 2, 3, 53, 64, 123 or 267 when nothing is there; any other failure
  // (access denied, a sharing violation) also means the path cannot be used,
  // and the search goes on with the next candidate either way.
  return FindFirstExistingPath(AssetSearchDirectories(GetModuleDirectory(), GetCurrentDirectoryPath()), candidates,
                               [](const std::wstring& path) {
                                 return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
                               });
}

const PictureSource& BackgroundPictures::At(float scale) const {
  return scale >= k2xPictureScale && !twice.empty() ? twice : once;
}

namespace {

void LoadProfilePictures(const Profile& profile, const SceneRect& rect, float scale, BackgroundPictures& pictures) {
  pictures = BackgroundPictures{};
  if (IsResourceId(profile.background2xResourceId)) {
    PictureSource twice = PictureSource::View(ResourceBytes(profile.background2xResourceId, kRcData));
    // Drawn from the start: it must decode, or the 1x picture stands in.
    if (scale < k2xPictureScale || pictures.prepared.Prepare(twice, rect, scale)) pictures.twice = std::move(twice);
  }
  // The 1x picture is decoded here only when it is the one drawn at `scale`;
  // one that does not decode counts as missing.
  const bool drawn = pictures.twice.empty() || scale < k2xPictureScale;
  const auto usable = [&](const PictureSource& source) {
    return !source.empty() && (!drawn || pictures.prepared.Prepare(source, rect, scale));
  };
  if (IsResourceId(profile.backgroundResourceId)) {
    PictureSource embedded = PictureSource::View(ResourceBytes(profile.backgroundResourceId, kRcData));
    if (usable(embedded)) pictures.once = std::move(embedded);
  }
  if (pictures.once.empty()) {
    const std::wstring path = FindAssetFile(profile.backgroundCandidates);
    if (!path.empty()) {
      // The first existing path is the answer even when it is refused or
      // does not decode: the search does not go on to the next candidate.
      // Its bytes are kept, so the file is closed again at once.
      if (std::optional<std::string> bytes = ReadAssetFile(path, AssetFormat::Png)) {
        PictureSource file = PictureSource::Own(std::move(*bytes), kAssetPixelsLimit);
        if (usable(file)) pictures.once = std::move(file);
      }
    }
  }
}

void LoadProfileIcon(const Profile& profile, HICON& icon) {
  // Size 0 with LR_DEFAULTSIZE picks the system's standard icon size from
  // the group (SM_CXICON by SM_CYICON).
  HICON loadedIcon = nullptr;
  if (IsResourceId(profile.iconResourceId)) {
    loadedIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), ResourceName(profile.iconResourceId),
                                               IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  }
  if (loadedIcon == nullptr) {
    const std::wstring path = FindAssetFile(profile.iconCandidates);
    // Made from the bytes that were checked: a file swapped after the check
    // is never read.
    if (!path.empty()) {
      if (const std::optional<std::string> bytes = ReadAssetFile(path, AssetFormat::Ico)) {
        loadedIcon = IconFromIcoBytes(*bytes);
      }
    }
  }
  if (icon != nullptr) DestroyIcon(icon);
  icon = loadedIcon;
}

}  // namespace

void LoadAssets(const Profile& profile, const SceneRect& rect, float scale, BackgroundPictures& pictures,
                HICON& icon) {
  LoadProfilePictures(profile, rect, scale, pictures);
  LoadProfileIcon(profile, icon);
}

AssetLoad::~AssetLoad() {
  Wait();
  if (icon_ != nullptr) DestroyIcon(icon_);
  if (iconGate_ != nullptr) CloseHandle(iconGate_);
  if (picturesReady_ != nullptr) CloseHandle(picturesReady_);
}

void AssetLoad::Start(const Profile& profile, const SceneRect& rect, float scale) {
  profile_ = profile;
  rect_ = rect;
  scale_ = scale;
  picturesReady_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  iconGate_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  if (thread_ == nullptr) LoadAssets(profile_, rect_, scale_, pictures_, icon_);
}

DWORD WINAPI AssetLoad::Run(void* self) noexcept {
  auto* load = static_cast<AssetLoad*>(self);
  // Out of memory: the window goes on without its picture or icon.
  try {
    LoadProfilePictures(load->profile_, load->rect_, load->scale_, load->pictures_);
  } catch (...) {
  }
  if (load->picturesReady_ != nullptr) SetEvent(load->picturesReady_);
  if (load->iconGate_ != nullptr) WaitForSingleObject(load->iconGate_, INFINITE);
  try {
    LoadProfileIcon(load->profile_, load->icon_);
  } catch (...) {
  }
  // A window already gone refuses the post; the icon then stays here.
  if (load->iconWindow_ != nullptr) PostMessageW(load->iconWindow_, load->iconMessage_, 0, 0);
  return 0;
}

void AssetLoad::Wait() {
  if (thread_ == nullptr) return;
  // Whoever waits for the thread lets it finish.
  if (iconGate_ != nullptr) SetEvent(iconGate_);
  gateOpened_ = true;
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

void AssetLoad::TakePictures(BackgroundPictures& pictures) {
  if (thread_ != nullptr && picturesReady_ != nullptr) {
    WaitForSingleObject(picturesReady_, INFINITE);
  } else {
    Wait();
  }
  if (picturesTaken_) return;
  picturesTaken_ = true;
  pictures = std::move(pictures_);
}

void AssetLoad::LoadIconFor(HWND window, UINT message) {
  if (thread_ != nullptr && iconGate_ != nullptr && !gateOpened_) {
    iconWindow_ = window;
    iconMessage_ = message;
    gateOpened_ = true;
    SetEvent(iconGate_);
    return;
  }
  PostMessageW(window, message, 0, 0);
}

HICON AssetLoad::TakeIcon() {
  Wait();
  if (iconTaken_) return nullptr;
  iconTaken_ = true;
  HICON icon = icon_;
  icon_ = nullptr;
  return icon;
}
