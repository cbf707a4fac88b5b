#include "ui/paint/fonts_win.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/system_library_win.h"

namespace {

struct SlotFont {
  float size;
  int weight;
};

// Slot order: badge, title bar, button, panel title, panel detail, card
// title, chip and caption, percentage. Sizes in units (pixels at scale 1).
constexpr std::array<SlotFont, 8> kSlots{{{10, FW_BOLD},
                                          {14, FW_BOLD},
                                          {9, FW_BOLD},
                                          {11, FW_BOLD},
                                          {11, FW_NORMAL},
                                          {16, FW_BOLD},
                                          {8, FW_BOLD},
                                          {9, FW_BOLD}}};

HFONT MakeFont(const wchar_t* family, int pixels, int weight) {
  LOGFONTW wanted{};
  wanted.lfHeight = -pixels;  // negative: the em height, as GDI+'s pixel-unit fonts
  wanted.lfWeight = weight;
  wanted.lfCharSet = DEFAULT_CHARSET;
  wanted.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(wanted.lfFaceName, family, LF_FACESIZE);
  return CreateFontIndirectW(&wanted);
}

// GDI gives some other family for a name it does not know; only the named
// family (or the replacement the system maps that name to) counts.
bool IsFamilyOf(HDC dc, HFONT font, const wchar_t* family) {
  const HGDIOBJ old = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  return lstrcmpiW(face, family) == 0;
}

}  // namespace

UiFonts::~UiFonts() { Clear(); }

void UiFonts::Clear() {
  for (Entry& entry : faces_) {
    if (entry.face && api_.freeCache) api_.freeCache(&entry.face->cache);
  }
  faces_.clear();
}

void UiFonts::Load() {
  Clear();
  measureDc_.reset(CreateCompatibleDC(nullptr));
  if (module_ == nullptr) module_ = LoadSystemLibrary(L"usp10.dll");
  if (module_ != nullptr) {
    api_.itemize = LookUpFunction<decltype(api_.itemize)>(module_, "ScriptItemize");
    api_.shape = LookUpFunction<decltype(api_.shape)>(module_, "ScriptShape");
    api_.place = LookUpFunction<decltype(api_.place)>(module_, "ScriptPlace");
    api_.layout = LookUpFunction<decltype(api_.layout)>(module_, "ScriptLayout");
    api_.freeCache = LookUpFunction<decltype(api_.freeCache)>(module_, "ScriptFreeCache");
    api_.fontProperties = LookUpFunction<decltype(api_.fontProperties)>(module_, "ScriptGetFontProperties");
    api_.textOut = LookUpFunction<decltype(api_.textOut)>(module_, "ScriptTextOut");
  }
  if (!api_.itemize || !api_.shape || !api_.place || !api_.layout || !api_.freeCache || !api_.fontProperties) {
    api_.textOut = nullptr;
  }
  // Systems without the usual Windows fonts still get text.
  static constexpr const wchar_t* kFamilies[] = {L"Segoe UI", L"Arial", L"Tahoma", L"Liberation Sans",
                                                 L"DejaVu Sans"};
  for (const wchar_t* family : kFamilies) {
    const UniqueGdiObject probe(MakeFont(family, 12, FW_NORMAL));
    if (probe && measureDc_ && IsFamilyOf(measureDc_.get(), static_cast<HFONT>(probe.get()), family)) {
      slotFamily_ = family;
      break;
    }
  }
}

FontFace* UiFonts::Face(int slot, float dpiScale, const wchar_t* family) const {
  if (slot < 0 || static_cast<size_t>(slot) >= kSlots.size() || !ready() || !measureDc_) return nullptr;
  const SlotFont& slotFont = kSlots[static_cast<size_t>(slot)];
  const int pixels = static_cast<int>(std::lround(slotFont.size * dpiScale));
  for (Entry& entry : faces_) {
    if (entry.slot == slot && entry.pixels == pixels && entry.family == family) return entry.face.get();
  }
  Entry entry{slot, pixels, family, nullptr};
  UniqueGdiObject font(MakeFont(family, pixels, slotFont.weight));
  const HDC dc = measureDc_.get();
  if (font && IsFamilyOf(dc, static_cast<HFONT>(font.get()), family)) {
    auto face = std::make_unique<FontFace>();
    const HGDIOBJ old = SelectObject(dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SCRIPT_FONTPROPERTIES properties{};
    properties.cBytes = sizeof(properties);
    api_.fontProperties(dc, &face->cache, &properties);
    SelectObject(dc, old);
    face->ascent = metrics.tmAscent;
    face->descent = metrics.tmDescent;
    face->missingGlyph = properties.wgDefault;
    face->font = std::move(font);
    entry.face = std::move(face);
  }
  faces_.push_back(std::move(entry));
  return faces_.back().face.get();
}

namespace {

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM param) {
  auto* families = reinterpret_cast<std::vector<std::wstring>*>(param);
  const std::wstring name = font->lfFaceName;
  // Vertical variants ("@…") and bitmap fonts hold nothing more; GDI draws
  // nothing of a colour-bitmap emoji font, so it would make text vanish.
  if ((type & TRUETYPE_FONTTYPE) == 0 || name.empty() || name[0] == L'@' || name == L"Noto Color Emoji") return 1;
  if (std::find(families->begin(), families->end(), name) == families->end()) families->push_back(name);
  return 1;
}

}  // namespace

std::vector<const wchar_t*> UiFonts::FamiliesCovering(char32_t c) const {
  if (!coverageRead_ && measureDc_) {
    coverageRead_ = true;
    std::vector<std::wstring> families;
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(measureDc_.get(), &all, CollectFamily, reinterpret_cast<LPARAM>(&families), 0);
    for (const std::wstring& family : families) {
      UniqueGdiObject font(MakeFont(family.c_str(), 16, FW_NORMAL));
      if (!font) continue;
      const HGDIOBJ old = SelectObject(measureDc_.get(), font.get());
      const DWORD size = GetFontUnicodeRanges(measureDc_.get(), nullptr);
      std::vector<unsigned char> storage(size);
      auto* set = reinterpret_cast<GLYPHSET*>(storage.data());
      Coverage coverage{family, {}};
      if (size >= sizeof(GLYPHSET) && GetFontUnicodeRanges(measureDc_.get(), set) != 0) {
        for (DWORD r = 0; r < set->cRanges; ++r) {
          if (set->ranges[r].cGlyphs == 0) continue;
          const char32_t first = set->ranges[r].wcLow;
          coverage.ranges.emplace_back(first, first + set->ranges[r].cGlyphs - 1);
        }
      }
      SelectObject(measureDc_.get(), old);
      if (!coverage.ranges.empty()) coverage_.push_back(std::move(coverage));
    }
  }
  // The families that hold some of c's block, most first, found once per block.
  const char32_t blockFirst = c & ~char32_t{0x7F}, blockLast = blockFirst + 0x7F;
  auto block = std::find_if(blocks_.begin(), blocks_.end(), [&](const auto& b) { return b.first == blockFirst; });
  if (block == blocks_.end()) {
    std::vector<std::pair<char32_t, size_t>> held;  // code points of the block held, coverage index
    for (size_t i = 0; i < coverage_.size(); ++i) {
      char32_t inBlock = 0;
      for (const auto& [first, last] : coverage_[i].ranges) {
        if (first <= blockLast && last >= blockFirst) {
          inBlock += std::min(last, blockLast) - std::max(first, blockFirst) + 1;
        }
      }
      if (inBlock > 0) held.emplace_back(inBlock, i);
    }
    std::stable_sort(held.begin(), held.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<size_t> order;
    for (const auto& entry : held) order.push_back(entry.second);
    block = blocks_.emplace(blocks_.end(), blockFirst, std::move(order));
  }
  std::vector<const wchar_t*> families;
  for (size_t i : block->second) {
    for (const auto& [first, last] : coverage_[i].ranges) {
      if (c >= first && c <= last) {
        families.push_back(coverage_[i].family.c_str());
        break;
      }
    }
  }
  return families;
}

float SlotSize(int slot) {
  return slot >= 0 && static_cast<size_t>(slot) < kSlots.size() ? kSlots[static_cast<size_t>(slot)].size : 0;
}

void CreateFonts(UiFonts& fonts) { fonts.Load(); }
