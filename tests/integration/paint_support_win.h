#pragma once
// Rig for the paint tests: GDI+ and the eight UI fonts for the whole test
// program, paths into the source tree, and off-screen renders to probe.
#include <cstdint>
#include <string>

#include "base/win_owners_win.h"
#include "tests/support/pixel_colors.h"
#include "tests/support/source_tree.h"
#include "ui/draw_list.h"
#include "tools/capture/frame_snapshot_win.h"

// The fonts made by CreateFonts, alive from the first call to the end of the
// test program (released before GDI+ shuts down).
const UiFonts& PaintFonts();

// The tarrow profile's background picture from resources/assets.
Gdiplus::GpImage* TarrowBackground();

// Paints `list` on a fresh window-sized surface at `scale`.
PixelImage RenderList(const DrawList& list, float scale, const UiFonts& fonts, Gdiplus::GpImage* background = nullptr);

// The pixel under a point given in units.
uint32_t PixelAt(const PixelImage& image, double unitX, double unitY, float scale);
