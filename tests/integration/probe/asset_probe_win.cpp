// asset-probe.exe PROFILE FOLDER REPORT: makes FOLDER the current directory,
// loads the profile's background picture and icon the way the launcher does
// and writes what it found to the file REPORT as UTF-8 lines "key=value".
// Built twice: asset-probe.exe carries no resources (the disk search),
// asset-probe-embedded.exe carries the launcher's.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"
#include "channel/utf8.h"
#include "state/profiles.h"
#include "ui/paint/assets_win.h"
#include "ui/scene/layout.h"

namespace {

// "800x400 pargb": the decoded picture's own size, its copy drawn as the
// launcher's (32 bpp premultiplied), or "none".
std::string DescribePicture(const BackgroundPictures& pictures) {
  const ScaledPicture& copy = pictures.prepared.copy();
  if (pictures.once.empty() || copy.pixels.empty()) return "none";
  return std::to_string(copy.sourceWidth) + "x" + std::to_string(copy.sourceHeight) + " pargb";
}

// "32x32" for the icon's colour bitmap, or "none".
std::string DescribeIcon(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return "none";
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return std::to_string(bitmap.bmWidth) + "x" + std::to_string(bitmap.bmHeight);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ScopedGdiplus gdiplus;
  if (argc != 4 || !gdiplus.ok() || !SetCurrentDirectoryW(argv[2])) return 2;
  std::FILE* report = _wfopen(argv[3], L"wb");
  if (report == nullptr) return 3;
  {
    const Profile profile = FindProfile(argv[1]);
    BackgroundPictures background;
    // On its thread, as the launcher loads them, but the icon never asked
    // for: the hand-over must still end, icon included.
    AssetLoad load;
    load.Start(profile, layout::kHeaderCard, 1.0f);
    load.TakePictures(background);
    const HICON icon = load.TakeIcon();
    std::fprintf(report, "background-file=%s\nicon-file=%s\nbackground=%s\nicon=%s\n",
                 WideToUtf8(FindAssetFile(profile.backgroundCandidates)).c_str(),
                 WideToUtf8(FindAssetFile(profile.iconCandidates)).c_str(), DescribePicture(background).c_str(),
                 DescribeIcon(icon).c_str());
    if (icon != nullptr) DestroyIcon(icon);
  }
  return std::fclose(report) == 0 ? 0 : 4;
}
