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
#include "ui/paint/picture_win.h"

// One whole frame on an off-screen DC: a Graphics on the DC, anti-aliasing,
// cleared to the window's background colour, world transform scaled by
// dpiScale, then the list; labels go through the text path
// (ui/text_line_win.h) in device pixels. The image command draws
// `background` (nothing when it is null or empty); `picture` keeps its copy
// at the frame's size between frames, without it the frame makes one for itself.
void PaintFrame(HDC memoryDc, float dpiScale, const DrawList& list, const UiFonts& fonts,
                const PictureSource* background, PreparedPicture* picture = nullptr);

// The colour the whole surface is cleared to; the window region's rounded
// corners show it where the card's larger radius leaves them uncovered.
inline constexpr uint32_t kFrameClearColor = 0xFF090A0C;
