#pragma once
// Rig for the paint tests: GDI+ and the eight UI fonts for the whole test
// program, paths into the source tree, and colour arithmetic for probing
// rendered pixels.
#include <cstdint>
#include <string>

#include "app/win_owners.h"
#include "ui/draw_list.h"
#include "ui/frame_snapshot_win.h"

// The fonts made by CreateFonts, alive from the first call to the end of the
// test program (released before GDI+ shuts down).
const UiFonts& PaintFonts();

// A file of the source tree as a Windows path ("Z:\..." for a Unix tree under
// Wine).
std::wstring SourcePath(const std::string& relative);

// The tarrow profile's background picture from resources/assets.
Gdiplus::GpImage* TarrowBackground();

// `top` (0xAARRGGBB) drawn over an opaque `under`, as 0xFFRRGGBB.
uint32_t Over(uint32_t top, uint32_t under);

// Linear mix of two opaque colours, t = 0 gives a.
uint32_t Mix(uint32_t a, uint32_t b, double t);

// Largest difference of the red, green and blue channels.
int ChannelDistance(uint32_t a, uint32_t b);

std::string Hex(uint32_t color);

// Paints `list` on a fresh window-sized surface at `scale`.
PixelImage RenderList(const DrawList& list, float scale, const UiFonts& fonts, Gdiplus::GpImage* background = nullptr);

// The pixel under a point given in units.
uint32_t PixelAt(const PixelImage& image, double unitX, double unitY, float scale);
