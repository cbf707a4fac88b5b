#include "ui/fonts_win.h"

#include <array>

namespace gp = Gdiplus::DllExports;

namespace {

UniqueGpFontFamily GenericSansSerif() {
  Gdiplus::GpFontFamily* raw = nullptr;
  if (gp::GdipGetGenericFontFamilySansSerif(&raw) != Gdiplus::Ok) return nullptr;
  return UniqueGpFontFamily(raw);
}

UniqueGpFont FontFrom(const Gdiplus::GpFontFamily* family, float size, INT style) {
  Gdiplus::GpFont* raw = nullptr;
  if (family == nullptr || gp::GdipCreateFont(family, size, style, Gdiplus::UnitPixel, &raw) != Gdiplus::Ok) {
    return nullptr;
  }
  return UniqueGpFont(raw);
}

struct FontSpec {
  float size;
  INT style;
};

// Slot order: badge, title bar, button, panel title, panel detail, card
// title, chip and caption, percentage.
constexpr std::array<FontSpec, 8> kSlots{{{10, Gdiplus::FontStyleBold},
                                          {14, Gdiplus::FontStyleBold},
                                          {9, Gdiplus::FontStyleBold},
                                          {11, Gdiplus::FontStyleBold},
                                          {11, Gdiplus::FontStyleRegular},
                                          {16, Gdiplus::FontStyleBold},
                                          {8, Gdiplus::FontStyleBold},
                                          {9, Gdiplus::FontStyleBold}}};

// One attempt as GDI+'s Font class makes it: the family by name, the generic
// sans-serif family when the name is unknown or the font cannot be made from
// it. Null when even that fails.
UniqueGpFont CreateFontLikeFontClass(const wchar_t* family, float size, INT style) {
  Gdiplus::GpFontFamily* raw = nullptr;
  UniqueGpFontFamily named;
  if (gp::GdipCreateFontFamilyFromName(family, nullptr, &raw) == Gdiplus::Ok) named.reset(raw);
  UniqueGpFontFamily generic;
  const Gdiplus::GpFontFamily* chosen = named.get();
  if (chosen == nullptr) {
    generic = GenericSansSerif();
    chosen = generic.get();
  }
  UniqueGpFont font = FontFrom(chosen, size, style);
  if (!font && named) {
    // The family exists but cannot give this font (a missing style, say).
    generic = GenericSansSerif();
    font = FontFrom(generic.get(), size, style);
  }
  return font;
}

// A font of "Segoe UI" (or, inside the same attempt, the generic sans-serif
// family), else "Arial", else "Tahoma", "Liberation Sans" or "DejaVu Sans",
// with the size in pixels and the style (0 regular, 1 bold). Null only when
// no family at all yields a font.
UniqueGpFont CreateUiFont(float size, INT style) {
  // After "Segoe UI" and "Arial" come families that systems without the usual
  // Windows fonts tend to have, so text never vanishes for lack of a font.
  static constexpr const wchar_t* kFamilies[] = {L"Segoe UI", L"Arial", L"Tahoma", L"Liberation Sans",
                                                 L"DejaVu Sans"};
  for (const wchar_t* family : kFamilies) {
    if (UniqueGpFont font = CreateFontLikeFontClass(family, size, style)) return font;
  }
  return nullptr;
}

}  // namespace

void CreateFonts(UiFonts& fonts) {
  for (size_t slot = 0; slot < fonts.size(); ++slot) {
    fonts[slot].reset();
    fonts[slot] = CreateUiFont(kSlots[slot].size, kSlots[slot].style);
  }
}
