#pragma once
// Off-screen frames as pixels: a 32-bit DIB surface to paint on, and PNG
// files in and out through GDI+'s codecs. Used by the snapshot tool, the
// pixel tests, the frame benchmark and the screen captures; the launcher
// itself paints into a compatible bitmap instead. GDI+ must be running.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/win_owners.h"
#include "ui/draw_list.h"

// Pixels as 0xAARRGGBB, rows top to bottom.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

// A top-down 32-bit DIB section selected into its own memory DC.
class DibSurface {
 public:
  DibSurface(int width, int height);
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  bool ok() const { return bits_ != nullptr && dc_ != nullptr; }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  // Copies the pixels out (after GdiFlush), alpha forced to 0xFF: GDI leaves
  // the top byte of a 32-bit DIB undefined.
  PixelImage Snapshot() const;

 private:
  int width_;
  int height_;
  uint32_t* bits_ = nullptr;
  UniqueGdiObject bitmap_;  // destroyed after the DC that holds it
  UniqueMemoryDc dc_;
};

// Device pixels of a length in units at a scale: halves away from zero.
int ScaledPixels(float units, float scale);

// Writes opaque pixels as a PNG file. False on any failure.
bool SavePng(const PixelImage& image, const std::wstring& path);

// Decodes any image file GDI+ reads; nullopt when it cannot.
std::optional<PixelImage> LoadPixels(const std::wstring& path);

// An image file as a GDI+ image (a background picture for tests and tools).
UniqueGpImage LoadImageFile(const std::wstring& path);

// One preview state of the launcher as the window would paint it: the
// identity derived from the start-up text, the state word applied as a
// preview, the button looks, at a DPI scale.
struct PreviewFrame {
  std::wstring state = L"DOWNLOAD";
  std::wstring startupText = L"Tarrow Preview";
  float scale = 1.0f;
  bool hoverButton = false;
  bool pressedButton = false;
};

// The frame's draw list (the picture is assumed present when `background` is).
DrawList PreviewDrawList(const PreviewFrame& frame, bool hasBackground);

// Paints the frame on a fresh S(392) x S(252) surface and returns its pixels.
PixelImage RenderPreview(const PreviewFrame& frame, const UiFonts& fonts, Gdiplus::GpImage* background);
