#pragma once
// The eight UI font slots and the GDI fonts behind them. Labels are shaped
// and drawn by Uniscribe (usp10.dll, loaded from the system folder at run
// time) with GDI fonts: one family per slot ("Segoe UI", else the first of
// "Arial", "Tahoma", "Liberation Sans", "DejaVu Sans" that exists) and, for
// runs that family cannot draw, the families of the fallback table. Fonts are
// made on first use at the pixel size a paint needs and kept until the
// object goes. Window thread only (or the one thread of a tool or test).
#include <windows.h>
#include <usp10.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/win_owners_win.h"
#include "ui/paint/font_fallback.h"

// The Uniscribe calls the text path uses.
struct UniscribeApi {
  decltype(&::ScriptItemize) itemize = nullptr;
  decltype(&::ScriptShape) shape = nullptr;
  decltype(&::ScriptPlace) place = nullptr;
  decltype(&::ScriptLayout) layout = nullptr;
  decltype(&::ScriptTextOut) textOut = nullptr;
  decltype(&::ScriptFreeCache) freeCache = nullptr;
  decltype(&::ScriptGetFontProperties) fontProperties = nullptr;
};

// One family at one slot's pixel size, with its Uniscribe cache.
struct FontFace {
  UniqueGdiObject font;
  SCRIPT_CACHE cache = nullptr;
  int ascent = 0;
  int descent = 0;
  WORD missingGlyph = 0;  // what the font shows for a character it lacks
};

class UiFonts {
 public:
  UiFonts() = default;
  ~UiFonts();
  UiFonts(const UiFonts&) = delete;
  UiFonts& operator=(const UiFonts&) = delete;

  // Loads Uniscribe and picks the slots' family. Without Uniscribe no label
  // is drawn; the rest of the scene is.
  void Load();
  // Releases every font (before GDI+ or the test's scope ends).
  void Clear();
  bool ready() const { return api_.textOut != nullptr; }
  const UniscribeApi& api() const { return api_; }
  // A DC for shaping and measuring outside a paint.
  HDC measureDc() const { return measureDc_.get(); }
  const wchar_t* slotFamily() const { return slotFamily_.c_str(); }
  // The row whose face draws Han for this window's reader
  // (HanForLanguages); set before the first label is shaped.
  void SetHanScript(std::optional<FallbackScript> han) { han_ = han; }
  std::optional<FallbackScript> hanScript() const { return han_; }

  // The installed families whose character map holds `c`, found by the
  // system's own answer (GetFontUnicodeRanges) over every installed
  // TrueType or OpenType family (its map covers the Basic Multilingual
  // Plane): for text in a script the fallback table does not name. Those
  // that hold most of the 128 code points around `c` come first, so a
  // script's own family comes before one that borrows a few of its letters
  // (Noto Sans Tamil before Noto Sans Grantha). The families and their
  // ranges are read on the first call (only text that needs it pays) and
  // kept. Empty when none holds it.
  std::vector<const wchar_t*> FamiliesCovering(char32_t c) const;

  // The face of `family` for `slot` scaled by dpiScale; null when the family
  // is not installed or the slot does not exist. Made on first use.
  FontFace* Face(int slot, float dpiScale, const wchar_t* family) const;

 private:
  struct Entry {
    int slot;
    int pixels;
    std::wstring family;
    std::unique_ptr<FontFace> face;  // null: the family is not installed
  };
  UniscribeApi api_;
  HMODULE module_ = nullptr;
  UniqueMemoryDc measureDc_;
  std::wstring slotFamily_ = L"Segoe UI";
  std::optional<FallbackScript> han_;
  mutable std::vector<Entry> faces_;  // a cache: drawing a label fills it
  struct Coverage {
    std::wstring family;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // inclusive
  };
  mutable std::vector<Coverage> coverage_;  // read by the first FamiliesCovering
  // Per block of 128 code points (its first), the coverage_ entries holding
  // some of it, most first; at most one entry per block ever asked about.
  mutable std::vector<std::pair<char32_t, std::vector<size_t>>> blocks_;
  mutable bool coverageRead_ = false;
};

// A slot's em size in units (0 for a slot that does not exist).
float SlotSize(int slot);

// Loads Uniscribe and chooses the family; whatever the object held is released.
void CreateFonts(UiFonts& fonts);
