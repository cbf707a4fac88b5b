// asset-probe.exe PROFILE: loads a profile's background picture and icon
// the way the launcher does, and prints what it found as UTF-8 lines
// "key=value" on standard output. Built twice: asset-probe.exe carries no
// resources (the disk search), asset-probe-embedded.exe carries the
// launcher's resources. The tests copy it into folder layouts of their own
// and start it with a chosen current directory.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/gdiplus_api_win.h"
#include "state/profiles.h"
#include "base/win_owners_win.h"
#include "tests/support/asset_files_win.h"
#include "ui/asset_paths.h"
#include "ui/assets_win.h"

namespace {

void Print(const char* key, const std::string& value) { std::printf("%s=%s\n", key, value.c_str()); }

// "800x400 pargb", "800x400 argb" (any other format in hex), or "none".
std::string DescribeImage(Gdiplus::GpImage* image) {
  if (image == nullptr) return "none";
  UINT width = 0;
  UINT height = 0;
  Gdiplus::PixelFormat format = 0;
  Gdiplus::DllExports::GdipGetImageWidth(image, &width);
  Gdiplus::DllExports::GdipGetImageHeight(image, &height);
  Gdiplus::DllExports::GdipGetImagePixelFormat(image, &format);
  std::string name;
  if (format == PixelFormat32bppPARGB) {
    name = "pargb";
  } else if (format == PixelFormat32bppARGB) {
    name = "argb";
  } else {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(format));
    name = hex;
  }
  return std::to_string(width) + "x" + std::to_string(height) + " " + name;
}

// "32x32" for the icon's size, or "none".
std::string DescribeIcon(HICON icon) {
  if (icon == nullptr) return "none";
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return "unreadable";
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  const LONG height = info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2;
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return std::to_string(bitmap.bmWidth) + "x" + std::to_string(height);
}

std::string JoinDirectories(const std::vector<std::wstring>& directories) {
  std::string out;
  for (const std::wstring& directory : directories) {
    if (!out.empty()) out += "|";
    out += Utf8(directory);
  }
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ScopedGdiplus gdiplus;
  if (!gdiplus.ok()) return 1;
  {
    const Profile profile = FindProfile(argc > 1 ? argv[1] : L"");
    Print("profile", Utf8(profile.key));
    Print("module-directory", Utf8(GetModuleDirectory()));
    Print("current-directory", Utf8(GetCurrentDirectoryPath()));
    Print("search", JoinDirectories(AssetSearchDirectories(GetModuleDirectory(), GetCurrentDirectoryPath())));
    Print("background-file", Utf8(FindAssetFile(profile.backgroundCandidates)));
    Print("icon-file", Utf8(FindAssetFile(profile.iconCandidates)));
    Print("embedded-background", DescribeImage(LoadPngResource(profile.backgroundResourceId).get()));

    UniqueGpImage background;
    HICON icon = nullptr;
    LoadAssets(profile, background, icon);
    Print("background", DescribeImage(background.get()));
    Print("icon", DescribeIcon(icon));
    if (icon != nullptr) DestroyIcon(icon);
  }
  std::fflush(stdout);
  return 0;
}
