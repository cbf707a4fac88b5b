#include "ui/assets_win.h"

#include <objbase.h>

#include <cstring>
#include <utility>

#include "base/gdiplus_api_win.h"

namespace {

namespace gp = Gdiplus::DllExports;

// Resource ids are 16-bit integers; 0 names no resource.
bool IsResourceId(uint32_t id) { return id != 0 && id <= 0xFFFF; }

LPCWSTR ResourceName(uint32_t id) { return MAKEINTRESOURCEW(static_cast<WORD>(id)); }

// Longest name a module file name or a current directory can have, with room
// to spare; a buffer that size is never cut.
constexpr size_t kLongestPathBuffer = 65536;

}  // namespace

UniqueGpImage LoadPngResourceFrom(HMODULE module, uint32_t id) {
  if (!IsResourceId(id)) return nullptr;
  HRSRC info = FindResourceW(module, ResourceName(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (info == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, info);
  const DWORD size = SizeofResource(module, info);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return nullptr;

  // The stream needs movable global memory of its own; the resource bytes
  // are read-only and belong to the module.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (block == nullptr) return nullptr;
  void* copy = GlobalLock(block);
  if (copy == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(copy, bytes, size);
  GlobalUnlock(block);

  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || stream == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  // From here the stream owns the block and frees it on its last release.
  Gdiplus::GpBitmap* decoded = nullptr;
  const Gdiplus::GpStatus status = gp::GdipCreateBitmapFromStream(stream, &decoded);
  stream->Release();  // the bitmap holds its own reference while it lives
  UniqueGpImage source(decoded);
  if (status != Gdiplus::Ok || decoded == nullptr) return nullptr;

  // A clone in the format the painter draws fastest, with pixels of its own;
  // dropping the stream-backed bitmap then releases the stream and the block.
  UINT width = 0;
  UINT height = 0;
  gp::GdipGetImageWidth(decoded, &width);
  gp::GdipGetImageHeight(decoded, &height);
  if (width == 0 || height == 0) return nullptr;
  Gdiplus::GpBitmap* clone = nullptr;
  const Gdiplus::GpStatus cloned = gp::GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height),
                                                            PixelFormat32bppPARGB, decoded, &clone);
  UniqueGpImage result(clone);
  if (cloned != Gdiplus::Ok) return nullptr;
  return result;
}

UniqueGpImage LoadPngResource(uint32_t id) { return LoadPngResourceFrom(GetModuleHandleW(nullptr), id); }

std::wstring GetModuleDirectory() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return ParentDirectory(name);
    }
    // The name was cut to the buffer: ask again with twice the room.
    if (name.size() >= kLongestPathBuffer) return {};
    name.resize(name.size() * 2);
  }
}

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

void LoadAssets(const Profile& profile, UniqueGpImage& background, HICON& icon) {
  background = LoadPngResource(profile.backgroundResourceId);
  if (background == nullptr) {
    const std::wstring path = FindAssetFile(profile.backgroundCandidates);
    if (!path.empty()) {
      // The first existing path is the answer even when it does not decode:
      // the search does not go on to the next candidate.
      Gdiplus::GpImage* image = nullptr;
      const Gdiplus::GpStatus status = gp::GdipLoadImageFromFile(path.c_str(), &image);
      UniqueGpImage loaded(image);
      if (status == Gdiplus::Ok) background = std::move(loaded);
    }
  }

  // Size 0 with LR_DEFAULTSIZE picks the system's standard icon size from
  // the group (SM_CXICON by SM_CYICON).
  HICON loadedIcon = nullptr;
  if (IsResourceId(profile.iconResourceId)) {
    loadedIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), ResourceName(profile.iconResourceId),
                                               IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  }
  if (loadedIcon == nullptr) {
    const std::wstring path = FindAssetFile(profile.iconCandidates);
    if (!path.empty()) {
      loadedIcon = static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0,
                                                 LR_LOADFROMFILE | LR_DEFAULTSIZE));
    }
  }
  if (icon != nullptr) DestroyIcon(icon);
  icon = loadedIcon;
}
