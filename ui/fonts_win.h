#pragma once
// The eight UI fonts. Created once while the application object is built and
// owned by it; sized in pixel units so the paint's world transform scales
// them with the DPI. GDI+ must be running.
#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"

// Fills slots 0..7 in order; whatever a slot held before is deleted.
void CreateFonts(UiFonts& fonts);
