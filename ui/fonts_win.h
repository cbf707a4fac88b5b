#pragma once
// The eight UI fonts. Created once while the application object is built and
// owned by it; sized in pixel units so the paint's world transform scales
// them with the DPI. GDI+ must be running.
#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"

// A font of "Segoe UI" (or, inside the same attempt, the generic sans-serif
// family), else "Arial", else "Tahoma", "Liberation Sans" or "DejaVu Sans",
// with the size in pixels and the style (0 regular, 1 bold). Null only when
// no family at all yields a font.
UniqueGpFont CreateUiFont(float size, INT style);

// One attempt as GDI+'s Font class makes it: the family by name, the generic
// sans-serif family when the name is unknown or the font cannot be made from
// it. Null when even that fails.
UniqueGpFont CreateFontLikeFontClass(const wchar_t* family, float size, INT style);

// Fills slots 0..7 in order; whatever a slot held before is deleted.
void CreateFonts(UiFonts& fonts);
