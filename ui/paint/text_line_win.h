#pragma once
// One line of text with the launcher's text path: cut into runs by script,
// each run drawn by the slot's family or, where that lacks glyphs, by the
// fallback table's families; laid out by the Unicode bidirectional algorithm
// (Uniscribe) in a paragraph whose direction its first strong character
// gives; never wrapped; a line wider than its box ends in "…" at a whole
// grapheme cluster. Window thread only.
#include <windows.h>

#include <string_view>

#include "ui/scene/draw_list.h"
#include "state/launch_view.h"
#include "ui/paint/fonts_win.h"
#include "ui/scene/layout.h"

// Draws the label on the DC in device pixels: its rect scaled by dpiScale,
// vertically centred, on the near side of its paragraph direction (right for
// a right-to-left line) or centred. Colours are drawn opaque. The DC's
// state is left as it was.
void DrawTextLine(HDC dc, const UiFonts& fonts, const LabelCommand& label, float dpiScale);

// Whether a text fits a box of `boxWidth` units in font `slot` at dpiScale:
// the width it needs in units (a sixth of the em kept free on either side)
// and by how much it is too wide (0 when it fits), and whether a character
// of it no installed family holds draws as the missing-glyph box. A text
// longer than any box could hold is measured by its first 512 units and
// never fits.
struct TextFit {
  bool fits = true;
  float width = 0;
  float overflow = 0;
  bool boxes = false;
};
TextFit MeasureTextFit(const UiFonts& fonts, std::wstring_view text, int slot, float dpiScale, float boxWidth);

// What the chip's tag, the button's label and the percentage of `view` need
// at dpiScale: the widths the scene grows their boxes to (SceneInput::labelWidths).
LabelWidths MeasureGrowingLabels(const UiFonts& fonts, const LaunchView& view, float dpiScale);
