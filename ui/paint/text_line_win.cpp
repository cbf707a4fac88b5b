#include "ui/paint/text_line_win.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "base/graphemes.h"
#include "ui/paint/font_fallback.h"
#include "ui/scene/scene.h"

namespace {

// A run of one font and one bidi level, shaped and placed.
struct ShapedRun {
  FontFace* face = nullptr;
  SCRIPT_ANALYSIS analysis{};
  std::vector<WORD> glyphs;
  std::vector<int> advances;
  std::vector<GOFFSET> offsets;
  int width = 0;
};

struct ShapedLine {
  std::vector<ShapedRun> runs;  // logical order
  int width = 0;
  bool boxes = false;  // a character no family holds draws as the missing-glyph box
};

// Characters that draw nothing of their own: joiners, marks of direction,
// variation selectors, tags. Their glyph says nothing about coverage.
bool IsIgnorable(char32_t c) {
  return (c >= 0x200B && c <= 0x200F) || (c >= 0x2060 && c <= 0x206F) || (c >= 0xFE00 && c <= 0xFE0F) ||
         c >= 0xE0000;
}

// Shapes [text) with `face`; false when the face lacks a glyph for it.
// `held`, when given and the face lacks one, receives per UTF-16 unit
// whether the face has its glyph (none when it cannot shape the text).
bool ShapeWith(const UniscribeApi& api, HDC dc, FontFace* face, std::wstring_view text, ShapedRun& run,
               std::vector<unsigned char>* held = nullptr) {
  const HGDIOBJ old = SelectObject(dc, face->font.get());
  std::vector<WORD> clusters(text.size());
  std::vector<SCRIPT_VISATTR> attributes;
  int glyphCount = 0;
  HRESULT result = E_OUTOFMEMORY;
  for (size_t capacity = text.size() * 3 / 2 + 16; result == E_OUTOFMEMORY && capacity < 65536; capacity *= 2) {
    run.glyphs.resize(capacity);
    attributes.resize(capacity);
    result = api.shape(dc, &face->cache, text.data(), static_cast<int>(text.size()), static_cast<int>(capacity),
                       &run.analysis, run.glyphs.data(), clusters.data(), attributes.data(), &glyphCount);
  }
  bool complete = SUCCEEDED(result);
  if (complete) {
    run.glyphs.resize(static_cast<size_t>(glyphCount));
    for (size_t i = 0; i < text.size(); ++i) {
      const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF && i > 0;
      if (low || IsIgnorable(CodePointAt(text, i))) continue;
      const WORD glyph = run.glyphs[clusters[i]];
      if (glyph != 0 && glyph != face->missingGlyph) continue;
      complete = false;
      if (held == nullptr) break;
      if (held->empty()) held->assign(text.size(), 1);
      (*held)[i] = 0;
    }
    run.advances.resize(run.glyphs.size());
    run.offsets.resize(run.glyphs.size());
    ABC abc{};
    if (FAILED(api.place(dc, &face->cache, run.glyphs.data(), glyphCount, attributes.data(), &run.analysis,
                         run.advances.data(), run.offsets.data(), &abc))) {
      run.glyphs.clear();
      complete = false;
      if (held != nullptr) held->assign(text.size(), 0);
    }
    run.width = 0;
    for (int advance : run.advances) run.width += advance;
  } else {
    run.glyphs.clear();
    if (held != nullptr) held->assign(text.size(), 0);
  }
  SelectObject(dc, old);
  run.face = face;
  return complete;
}

// The families to try for a run, best first: the slot's family, then the row
// of the run's script. Their faces are made only when a run needs them, so
// a text the slot's family draws maps no fallback font file.
std::array<const wchar_t*, 3> CandidateFamilies(const UiFonts& fonts, FallbackScript script) {
  const FallbackFamilies& row = FontFallbackTable()[static_cast<size_t>(script)];
  return {fonts.slotFamily(), row.windows, row.noto};
}

// Where a piece of one Uniscribe item and one script run is shaped.
struct PieceContext {
  const UiFonts& fonts;
  HDC dc;
  int slot;
  float scale;
  FallbackScript script;
  SCRIPT_ANALYSIS analysis;
};

// The faces tried on a piece and then on one of its clusters, without an
// allocation for the text the slot's family draws.
constexpr size_t kCoveringTried = 3;
struct TriedFaces {
  std::array<FontFace*, 3 + 2 * kCoveringTried> faces{};
  size_t count = 0;
  bool Has(const FontFace* face) const {
    return std::find(faces.begin(), faces.begin() + static_cast<std::ptrdiff_t>(count), face) !=
           faces.begin() + static_cast<std::ptrdiff_t>(count);
  }
};

// Shapes `text` whole with the first family that has all its glyphs: the
// candidates, then those the system says hold its first character (a script
// the table does not name), at most kCoveringTried of them; faces already
// in `tried` are not tried again, and each face tried is added. `held`,
// when given, receives for each face tried in vain which UTF-16 units it
// has glyphs for. False, and `run` empty, when no face has them all.
bool ShapeWhole(const PieceContext& at, std::wstring_view text, ShapedRun& run, TriedFaces& tried,
                std::vector<std::pair<FontFace*, std::vector<unsigned char>>>* held = nullptr) {
  auto shaped = [&](const wchar_t* family) {
    FontFace* face = at.fonts.Face(at.slot, at.scale, family);
    if (face == nullptr || tried.count == tried.faces.size() || tried.Has(face)) return false;
    tried.faces[tried.count++] = face;
    run = ShapedRun{};
    run.analysis = at.analysis;
    std::vector<unsigned char> has;
    if (ShapeWith(at.fonts.api(), at.dc, face, text, run, held != nullptr ? &has : nullptr)) return true;
    if (held != nullptr) held->emplace_back(face, std::move(has));
    return false;
  };
  for (const wchar_t* family : CandidateFamilies(at.fonts, at.script)) {
    if (family != nullptr && shaped(family)) return true;
  }
  const std::vector<const wchar_t*> covering = at.fonts.FamiliesCovering(CodePointAt(text, 0));
  for (size_t k = 0; k < covering.size() && k < kCoveringTried; ++k) {
    if (shaped(covering[k])) return true;
  }
  run = ShapedRun{};
  return false;
}

// Adds the runs of one piece to the line. A piece no family holds whole is
// cut into grapheme clusters: each takes the first face tried on the piece
// that has its glyphs, else the first family the system says holds it;
// neighbours of one face are shaped together, and a cluster no family holds
// draws the slot family's missing-glyph box (shaped as a script the family
// has), so one missing character neither takes its neighbours' glyphs nor
// vanishes. Only text with such a character pays for the cut.
void ShapePiece(const PieceContext& at, std::wstring_view piece, ShapedLine& line) {
  auto add = [&line](ShapedRun&& run) {
    if (run.glyphs.empty()) return;
    line.width += run.width;
    line.runs.push_back(std::move(run));
  };
  ShapedRun whole;
  TriedFaces tried;
  std::vector<std::pair<FontFace*, std::vector<unsigned char>>> held;
  if (ShapeWhole(at, piece, whole, tried, &held)) {
    add(std::move(whole));
    return;
  }
  FontFace* const slotFace = at.fonts.Face(at.slot, at.scale, at.fonts.slotFamily());
  std::vector<std::pair<size_t, FontFace*>> groups;  // where a group begins, its face (null: boxes)
  for (size_t begin = 0; begin < piece.size();) {
    const size_t end = std::max(NextGraphemeBoundary(piece, begin), begin + 1);
    FontFace* face = nullptr;
    for (const auto& [candidate, has] : held) {
      if (has.size() == piece.size() && std::all_of(has.begin() + static_cast<std::ptrdiff_t>(begin),
                                                     has.begin() + static_cast<std::ptrdiff_t>(end),
                                                     [](unsigned char h) { return h != 0; })) {
        face = candidate;
        break;
      }
    }
    TriedFaces triedOnCluster = tried;
    ShapedRun cluster;
    if (face == nullptr && ShapeWhole(at, piece.substr(begin, end - begin), cluster, triedOnCluster)) {
      face = cluster.face;
    }
    if (groups.empty() || groups.back().second != face) groups.emplace_back(begin, face);
    begin = end;
  }
  for (size_t g = 0; g < groups.size(); ++g) {
    const size_t begin = groups[g].first;
    const size_t end = g + 1 < groups.size() ? groups[g + 1].first : piece.size();
    ShapedRun run;
    run.analysis = at.analysis;
    if (groups[g].second == nullptr) {
      run.analysis.eScript = SCRIPT_UNDEFINED;
      line.boxes = true;
    }
    FontFace* face = groups[g].second != nullptr ? groups[g].second : slotFace;
    if (face == nullptr) continue;
    ShapeWith(at.fonts.api(), at.dc, face, piece.substr(begin, end - begin), run);
    add(std::move(run));
  }
}

ShapedLine ShapeLine(const UiFonts& fonts, HDC dc, std::wstring_view text, int slot, float scale) {
  ShapedLine line;
  const UniscribeApi& api = fonts.api();
  if (text.empty() || !fonts.ready()) return line;
  SCRIPT_CONTROL control{};
  SCRIPT_STATE state{};
  state.uBidiLevel = StartsRightToLeft(text) ? 1 : 0;
  std::vector<SCRIPT_ITEM> items(text.size() + 2);
  int itemCount = 0;
  if (FAILED(api.itemize(text.data(), static_cast<int>(text.size()), static_cast<int>(items.size()) - 1, &control,
                         &state, items.data(), &itemCount))) {
    return line;
  }
  const std::vector<ScriptRun> scripts = SplitByScript(text, fonts.hanScript());
  size_t scriptIndex = 0;
  for (int i = 0; i < itemCount; ++i) {
    const auto itemBegin = static_cast<size_t>(items[static_cast<size_t>(i)].iCharPos);
    const auto itemEnd = static_cast<size_t>(items[static_cast<size_t>(i) + 1].iCharPos);
    for (size_t at = itemBegin; at < itemEnd;) {
      while (scriptIndex + 1 < scripts.size() && scripts[scriptIndex].end <= at) ++scriptIndex;
      const ScriptRun& script = scripts[scriptIndex];
      const size_t end = std::min(itemEnd, std::max(script.end, at + 1));
      const PieceContext context{fonts, dc, slot, scale, script.script, items[static_cast<size_t>(i)].a};
      ShapePiece(context, text.substr(at, end - at), line);
      at = end;
    }
  }
  return line;
}

// At most kHeadUnits of a text, cut at a cluster boundary.
constexpr size_t kHeadUnits = 512;
std::wstring_view HeadOf(std::wstring_view text) {
  if (text.size() <= kHeadUnits) return text;
  size_t end = 0;
  for (size_t next = NextGraphemeBoundary(text, 0); next <= kHeadUnits && next > end;
       next = NextGraphemeBoundary(text, next)) {
    end = next;
  }
  return text.substr(0, end == 0 ? kHeadUnits : end);
}

int Pixels(float units, float scale) { return static_cast<int>(std::lround(units * scale)); }

// A sixth of the em on each side of the text, as GDI+ lays out a string, so
// the labels stand where they always stood.
int SidePadding(int slot, float scale) { return Pixels(SlotSize(slot) / 6, scale); }

}  // namespace

void DrawTextLine(HDC dc, const UiFonts& fonts, const LabelCommand& label, float dpiScale) {
  FontFace* primary = fonts.Face(label.fontSlot, dpiScale, fonts.slotFamily());
  if (primary == nullptr || label.text.empty()) return;
  const int padding = SidePadding(label.fontSlot, dpiScale);
  const int left = Pixels(label.rect.x, dpiScale) + padding;
  const int top = Pixels(label.rect.y, dpiScale);
  const int width = Pixels(label.rect.x + label.rect.width, dpiScale) - padding - left;
  const int height = Pixels(label.rect.y + label.rect.height, dpiScale) - top;

  // No line of this many units fits any box of the window: shaping the head
  // is enough to find where its ellipsis goes.
  const std::wstring_view text = HeadOf(label.text);
  ShapedLine line = ShapeLine(fonts, dc, text, label.fontSlot, dpiScale);
  if (line.width > width || text.size() < label.text.size()) {
    const bool cut = text.size() < label.text.size();
    const std::wstring fitted = FitWithEllipsis(text, width, [&](std::wstring_view candidate) {
      // A cut text never counts as fitting whole.
      if (cut && candidate.size() == text.size()) return HUGE_VAL;
      return static_cast<double>(ShapeLine(fonts, dc, candidate, label.fontSlot, dpiScale).width);
    });
    line = ShapeLine(fonts, dc, fitted, label.fontSlot, dpiScale);
  }
  if (line.runs.empty()) return;

  int x = left;
  if (label.align == TextAlign::Center) {
    x = left + (width - line.width) / 2;
  } else if (label.align == TextAlign::Far || StartsRightToLeft(label.text)) {
    // Far: the mirrored scene of a right-to-left language sets every text
    // against the right edge of its box.
    x = left + width - line.width;
  }
  const int baseline = top + (height - primary->ascent - primary->descent) / 2 + primary->ascent;

  std::vector<BYTE> levels;
  for (const ShapedRun& run : line.runs) levels.push_back(static_cast<BYTE>(run.analysis.s.uBidiLevel));
  std::vector<int> visualToLogical(levels.size());
  if (FAILED(fonts.api().layout(static_cast<int>(levels.size()), levels.data(), visualToLogical.data(), nullptr))) {
    return;
  }
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  const uint32_t c = label.color;
  SetTextColor(dc, RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
  for (int logical : visualToLogical) {
    ShapedRun& run = line.runs[static_cast<size_t>(logical)];
    SelectObject(dc, run.face->font.get());
    fonts.api().textOut(dc, &run.face->cache, x, baseline, 0, nullptr, &run.analysis, nullptr, 0, run.glyphs.data(),
                        static_cast<int>(run.glyphs.size()), run.advances.data(), nullptr, run.offsets.data());
    x += run.width;
  }
  RestoreDC(dc, saved);
}

TextFit MeasureTextFit(const UiFonts& fonts, std::wstring_view text, int slot, float dpiScale, float boxWidth) {
  TextFit fit;
  if (fonts.measureDc() == nullptr || dpiScale <= 0) return fit;
  const ShapedLine line = ShapeLine(fonts, fonts.measureDc(), HeadOf(text), slot, dpiScale);
  fit.width = static_cast<float>(line.width + 2 * SidePadding(slot, dpiScale)) / dpiScale;
  fit.overflow = std::max(0.0f, fit.width - boxWidth);
  fit.fits = fit.overflow == 0 && HeadOf(text).size() == text.size();
  fit.boxes = line.boxes;
  return fit;
}

LabelWidths MeasureGrowingLabels(const UiFonts& fonts, const LaunchView& view, float dpiScale) {
  return LabelWidths{MeasureTextFit(fonts, view.tag, kFontCardSmall, dpiScale, 0).width,
                     MeasureTextFit(fonts, view.buttonLabel, kFontButton, dpiScale, 0).width,
                     MeasureTextFit(fonts, view.percent, kFontPercent, dpiScale, 0).width};
}
