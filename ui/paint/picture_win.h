#pragma once
// The background picture: kept as its PNG bytes and decoded only into a copy
// at the size it is drawn, in device pixels, made again when the scale or the
// rectangle changes. Neither the decoded picture at its own size nor a
// converted copy of it is ever held; the bytes cost a tenth of either.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"
#include "ui/paint/picture_scaling.h"

// Where a picture's bytes are: a view of memory that outlives this (a
// module's resource), or a copy of its own (a file read once). Empty when
// there is no picture. Movable.
class PictureSource {
 public:
  PictureSource() = default;
  // `sizeLimit`: a picture larger than that on either side is not decoded (0: any).
  static PictureSource View(std::string_view png, uint32_t sizeLimit = 0);
  static PictureSource Own(std::string png, uint32_t sizeLimit = 0);

  bool empty() const { return png().empty(); }
  std::string_view png() const { return owned_.empty() ? view_ : std::string_view(owned_); }
  uint32_t sizeLimit() const { return sizeLimit_; }

 private:
  std::string owned_;
  std::string_view view_;  // used when nothing is owned
  uint32_t sizeLimit_ = 0;
};

// The picture decoded straight into its copy over `rect` (units) at `scale`:
// 32 bpp premultiplied ARGB pixels of the device pixels the rectangle covers
// (rows box.width apart), its corner in `box`. The PNG decoder hands over its
// rows a band at a time. No pixels on any failure, a picture beyond the
// source's size limit included. Any thread; COM is started for the call
// where the thread has not started it. The GDI+ bitmap over the pixels is
// made by the first draw, on the drawing thread: under Wine, making one asks
// for a device context, and on the asset thread that could start a second
// desktop process beside the one the window thread starts. It must not
// outlive the pixels: declared first, they go last.
struct ScaledPicture {
  std::vector<uint32_t> pixels;
  UniqueGpImage bitmap;
  DevicePixelBox box;
  uint32_t sourceWidth = 0, sourceHeight = 0;
};
ScaledPicture DecodeScaled(const PictureSource& source, const SceneRect& rect, float scale);

// The copy a frame blends, kept between frames: made once per source,
// rectangle and scale (the costliest step of a frame would otherwise come with
// every paint of a flooding updater). Any one thread at a time; a copy made
// on the asset thread is handed to the window with the source it was made from.
class PreparedPicture {
 public:
  PreparedPicture() = default;
  PreparedPicture(PreparedPicture&&) = default;
  PreparedPicture& operator=(PreparedPicture&&) = default;
  PreparedPicture(const PreparedPicture&) = delete;
  PreparedPicture& operator=(const PreparedPicture&) = delete;

  // Makes the copy unless it is there for these bytes, rectangle and scale;
  // false when none could be made.
  bool Prepare(const PictureSource& source, const SceneRect& rect, float scale);
  // Prepares, then blends the copy at its device pixels. The graphics' world
  // transform must be the plain `scale` scale a frame sets: the copy is
  // blended under none, and the scale is set again.
  bool Draw(Gdiplus::GpGraphics* graphics, const PictureSource& source, const SceneRect& rect, float scale);
  // The copy last made; no pixels when none was or it failed.
  const ScaledPicture& copy() const { return copy_; }

 private:
  ScaledPicture copy_;
  bool tried_ = false;
  std::string_view bytes_;  // the source's bytes the copy was made from (compared by address)
  SceneRect rect_{};
  float scale_ = 0;
};
