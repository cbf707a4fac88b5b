#pragma once
// The background picture and the window icon of a profile: the copies the
// executable carries first, asset files on disk only when those cannot be
// loaded. Window thread, before the window exists; GDI+ must already be
// started by the caller. Nothing here reports a failure: what cannot be
// loaded stays empty.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/brand.h"
#include "state/profiles.h"
#include "base/win_owners_win.h"
#include "ui/paint/asset_paths.h"  // ParentDirectory
#include "ui/paint/picture_win.h"

// From this scale on a profile's 2x picture is drawn, when it has one.
inline constexpr float k2xPictureScale = 1.5f;

// A profile's background pictures as the window keeps them: the bytes of the
// 1x and 2x pictures (either may be empty) and the copy of the one drawn at
// the window's scale, made at the size drawn.
struct BackgroundPictures {
  PictureSource once;
  PictureSource twice;
  PreparedPicture prepared;
  // The picture drawn at `scale`: the 2x one from k2xPictureScale on, when there is one.
  const PictureSource& At(float scale) const;
};

// Fills `pictures` (embedded PNG, else the first asset file found; a brand's
// embedded 2x PNG beside it) and the icon (embedded icon group, else the
// first icon file found, at the system's standard icon size). The picture
// drawn at `scale` is decoded here, into its copy over `rect` (units) at that
// scale; one that does not decode counts as missing, so a file stands in for
// an embedded picture and the 1x picture for the 2x one. The other picture is
// kept as bytes only. An asset file is used only when it is a regular file
// on a local drive that passes AssetBytesAcceptable; the picture and the
// icon are made from the bytes read, and the file is not kept open. Whatever
// `pictures` held before is dropped; a previous icon is destroyed. The
// caller owns the results: the icon goes to the window, which destroys it.
void LoadAssets(const Profile& profile, const SceneRect& rect, float scale, BackgroundPictures& pictures,
                HICON& icon);

// What the branding tool writes into a copy of the launcher: the brand's
// text (read back with ReadBrand), its pictures at 1x and 2x, its icon group
// (sorting before the launcher's own, so the shell shows it too).
inline constexpr uint32_t kBrandTextResourceId = 220;
inline constexpr uint32_t kBrandPictureResourceId = 221;
inline constexpr uint32_t kBrandPicture2xResourceId = 222;
inline constexpr uint32_t kBrandIconResourceId = 100;

// The brand this executable carries, as the profile it asks for, with the
// look it asks for; none when it carries none or its text does not read
// back whole. A picture or icon resource that fails the asset checks (or a
// picture of the wrong size) is left out, and the built-in one stays.
struct EmbeddedBrand {
  Brand brand;
  Profile profile;
};
std::optional<EmbeddedBrand> ReadEmbeddedBrand();

// The first of the candidate paths that exists in the search directories
// (executable's, current, their parents; directory before name); empty when
// none does. Any file-system object counts, a folder too. A path whose
// existence cannot be told (access denied, sharing violation) is skipped.
std::wstring FindAssetFile(const std::vector<std::wstring>& candidates);

// The directory holding the running executable, for paths of any length.
std::wstring GetModuleDirectory();

// The process's current directory; empty if it cannot be read.
std::wstring GetCurrentDirectoryPath();

// A profile's picture and icon loaded on a thread of its own, so the decode
// (the first PNG decode also starts the system's image codecs) overlaps the
// window's creation instead of coming before it. The icon is made only once
// the window asks for it, after its first frame: that frame does not need it,
// and the thread's work competes with the window thread's on a busy machine.
// Window thread only: Start once, TakePictures before the first paint,
// LoadIconFor once after it, TakeIcon when its message arrives; destruction
// waits for the thread, so GDI+ must run from Start until this object is
// gone. Where no thread can be started, Start loads both at once.
class AssetLoad {
 public:
  AssetLoad() = default;
  ~AssetLoad();
  AssetLoad(const AssetLoad&) = delete;
  AssetLoad& operator=(const AssetLoad&) = delete;

  // The picture is decoded for `rect` (units) at the window's starting `scale`.
  void Start(const Profile& profile, const SceneRect& rect, float scale);
  // Waits for the pictures alone and hands them over (the old ones dropped).
  // Later calls hand over nothing.
  void TakePictures(BackgroundPictures& pictures);
  // Lets the thread make the icon and post `message` (wParam and lParam 0) to
  // `window` once it is made; posts it at once when the icon is made already
  // or can only be made by TakeIcon. Under Wine the first thread to ask for
  // the display while no desktop process runs starts one: the window's thread
  // has asked long before. Once, after TakePictures.
  void LoadIconFor(HWND window, UINT message);
  // Waits for the icon (letting the thread make it, whoever asked) and hands
  // it over: the caller destroys it. Later calls give nullptr.
  HICON TakeIcon();

 private:
  static DWORD WINAPI Run(void* self) noexcept;
  void Wait();

  Profile profile_;
  SceneRect rect_{};
  float scale_ = 1.0f;
  BackgroundPictures pictures_;
  HICON icon_ = nullptr;
  HANDLE thread_ = nullptr;
  HANDLE picturesReady_ = nullptr;  // set by the thread once pictures_ is final
  HANDLE iconGate_ = nullptr;       // opened by LoadIconFor or Wait; the icon waits for it
  bool gateOpened_ = false;
  HWND iconWindow_ = nullptr;  // written before the gate opens, read by the thread after
  UINT iconMessage_ = 0;
  bool picturesTaken_ = false;
  bool iconTaken_ = false;
};
