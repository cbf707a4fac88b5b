#pragma once
// Executes a draw list with the GDI+ flat API. Window thread only (or any one
// thread that started GDI+). Every GDI+ object these calls make is released
// before the call returns; GDI+ status codes are not acted on, so a failed
// primitive leaves its element out and the rest is painted.
#include <string_view>

#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"
#include "ui/scene/draw_list.h"
#include "ui/paint/fonts_win.h"

// The background picture as a frame draws it: resampled once to the device
// pixels an image command covers at a scale, then only blended in each
// frame: resampling is the costliest step of a frame, and a flooding
// updater's paints come many times a second. Made again when the picture, the rectangle or the scale
// changes; the picture must outlive the copy's use (the copy only compares
// its address).
class PreparedPicture {
 public:
  PreparedPicture() = default;
  PreparedPicture(const PreparedPicture&) = delete;
  PreparedPicture& operator=(const PreparedPicture&) = delete;

  // Draws `source` over `rect` (in units) scaled by dpiScale, as
  // GdipDrawImageRect under that scale would; false when no copy could be
  // made. The graphics' world transform must be the plain dpiScale scale a
  // frame sets: the copy is blended under none, and the scale is set again.
  bool Draw(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* source, const SceneRect& rect, float dpiScale);

 private:
  UniqueGpImage copy_;
  const Gdiplus::GpImage* source_ = nullptr;
  SceneRect rect_{};
  float scale_ = 0;
  int32_t left_ = 0;  // device pixel of the copy's top-left corner
  int32_t top_ = 0;
};

// One whole frame on an off-screen DC: a Graphics on the DC, anti-aliasing,
// cleared to the window's background colour, world transform scaled by
// dpiScale, then the list; labels go through the text path
// (ui/text_line_win.h) in device pixels. `picture` keeps the resampled
// background between frames; without it the frame makes one for itself.
void PaintFrame(HDC memoryDc, float dpiScale, const DrawList& list, const UiFonts& fonts,
                Gdiplus::GpImage* background, PreparedPicture* picture = nullptr);

// The colour the whole surface is cleared to; the window region's rounded
// corners show it where the card's larger radius leaves them uncovered.
inline constexpr uint32_t kFrameClearColor = 0xFF090A0C;
