#pragma once
// Off-screen frames as pixels: a surface to paint on, and PNG
// files in and out through GDI+'s codecs. Used by the snapshot tool, the
// pixel tests, the frame benchmark and the screen captures; the launcher
// itself paints into a compatible bitmap instead. GDI+ must be running.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/win_owners_win.h"
#include "ui/paint/fonts_win.h"
#include "ui/scene/draw_list.h"
#include "ui/scene/scene.h"
#include "ui/paint/scene_renderer_win.h"

// Pixels as 0xAARRGGBB, rows top to bottom.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

// Where an off-screen frame is painted. The window paints into a bitmap
// compatible with the screen; a DIB section gives direct access to the bits.
// The two may rasterise text differently (under Wine they do), so pictures
// meant to show what the window shows use the screen-compatible kind.
enum class SurfaceKind { DibSection, ScreenCompatible };

// A 32-bit bitmap of the given kind selected into its own memory DC.
class FrameSurface {
 public:
  FrameSurface(int width, int height, SurfaceKind kind = SurfaceKind::DibSection);
  FrameSurface(const FrameSurface&) = delete;
  FrameSurface& operator=(const FrameSurface&) = delete;

  bool ok() const { return ok_; }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  // Copies the pixels out (after GdiFlush), alpha forced to 0xFF: GDI leaves
  // the top byte of 32-bit pixels undefined.
  PixelImage Snapshot() const;

 private:
  int width_;
  int height_;
  bool ok_ = false;
  uint32_t* bits_ = nullptr;  // DIB sections only
  UniqueGdiObject bitmap_;    // destroyed after the DC that holds it
  UniqueMemoryDc dc_;
};

// Writes opaque pixels as a PNG file. False on any failure.
bool SavePng(const PixelImage& image, const std::wstring& path);

// Decodes any image file GDI+ reads; nullopt when it cannot.
std::optional<PixelImage> LoadPixels(const std::wstring& path);

// A PNG file as a background picture for tests and tools, its bytes read
// whole; empty when it cannot be read or is no PNG.
PictureSource LoadPictureFile(const std::wstring& path);

// The system colours of Windows' "High Contrast Black" theme: a fixed
// palette for pictures of the high-contrast look, which cannot be switched
// on under Wine.
inline constexpr ScenePalette kHighContrastBlack{0xFF000000, 0xFFFFFFFF, 0xFF1AEBFF, 0xFF000000,
                                                 0xFF3FF23F, 0xFF000000, 0xFFFFFFFF};

// One preview state of the launcher as the window would paint it: the
// identity derived from the start-up text, the state word applied as a
// preview, the button looks, at a DPI scale.
struct PreviewFrame {
  std::wstring state = L"DOWNLOAD";
  std::wstring startupText = L"Tarrow Preview";
  float scale = 1.0f;
  bool hoverButton = false;
  bool pressedButton = false;
  std::optional<ScenePalette> highContrast;  // the high-contrast look in these colours
  std::optional<double> progress;            // a settled figure instead of the preview's own
  std::wstring language = L"en";             // a language tag, chosen as --lang chooses
};

// The frame's draw list (with the picture when `hasBackground`). With fonts,
// the chip, button and pill grow to their labels as the window's do;
// without, they keep their standard sizes.
DrawList PreviewDrawList(const PreviewFrame& frame, bool hasBackground, const UiFonts* fonts = nullptr);

// Paints the frame on a fresh S(392) x S(252) surface and returns its pixels.
// `picture`, when given, keeps the resampled picture from frame to frame as
// the window keeps it.
PixelImage RenderPreview(const PreviewFrame& frame, const UiFonts& fonts, const PictureSource* background,
                         SurfaceKind kind = SurfaceKind::ScreenCompatible, PreparedPicture* picture = nullptr);
