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
// window's creation instead of coming before it. Window thread: Start once,
// DisplayReady once its first device context is made, then TakeInto, which
// waits; destruction waits too, so GDI+ must run from Start until this object
// is gone. Where no thread can be started, Start loads at once.
class AssetLoad {
 public:
  AssetLoad() = default;
  ~AssetLoad();
  AssetLoad(const AssetLoad&) = delete;
  AssetLoad& operator=(const AssetLoad&) = delete;

  // The picture is decoded for `rect` (units) at the window's starting `scale`.
  void Start(const Profile& profile, const SceneRect& rect, float scale);
  // The window thread has its display: the icon is made only then. Under
  // Wine the first thread to ask for the display while no desktop process
  // runs starts one; an icon made earlier on the asset thread started a
  // second one beside the window thread's. TakeInto and destruction call it
  // too, so the load always ends.
  void DisplayReady();
  // Waits for the load and hands its results over as LoadAssets would (the
  // old pictures dropped, an old icon destroyed). Later calls hand over nothing.
  void TakeInto(BackgroundPictures& pictures, HICON& icon);

 private:
  static DWORD WINAPI Run(void* self) noexcept;
  void Wait();

  Profile profile_;
  SceneRect rect_{};
  float scale_ = 1.0f;
  BackgroundPictures pictures_;
  HICON icon_ = nullptr;
  HANDLE thread_ = nullptr;
  HANDLE iconGate_ = nullptr;  // set by DisplayReady; the icon waits for it
  bool taken_ = false;
};
