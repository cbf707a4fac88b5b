#include "ui/paint/font_fallback.h"

#include <optional>

#include "base/graphemes.h"
#include "base/text.h"

namespace {

using S = FallbackScript;

// Segoe UI carries Greek, Cyrillic, Arabic and Hebrew on Windows 10 and 11.
// GDI draws no colour bitmaps, so the tests' emoji come from the monochrome
// Symbola (fonts-symbola, the broadest monochrome emoji font Debian has)
// rather than Noto Color Emoji; Segoe UI Emoji's outlines are monochrome
// under GDI on Windows as well.
const std::array<FallbackFamilies, kFallbackScriptCount> kTable{{
    {S::Latin, L"Latin", L"Segoe UI", L"Noto Sans"},
    {S::Greek, L"Greek", L"Segoe UI", L"Noto Sans"},
    {S::Cyrillic, L"Cyrillic", L"Segoe UI", L"Noto Sans"},
    {S::Arabic, L"Arabic", L"Segoe UI", L"Noto Sans Arabic"},
    {S::Hebrew, L"Hebrew", L"Segoe UI", L"Noto Sans Hebrew"},
    {S::Devanagari, L"Devanagari", L"Nirmala UI", L"Noto Sans Devanagari"},
    {S::Thai, L"Thai", L"Leelawadee UI", L"Noto Sans Thai"},
    {S::HanSimplified, L"Han (Simplified)", L"Microsoft YaHei UI", L"Noto Sans CJK SC"},
    {S::HanTraditional, L"Han (Traditional)", L"Microsoft JhengHei UI", L"Noto Sans CJK TC"},
    {S::Kana, L"Kana", L"Yu Gothic UI", L"Noto Sans CJK JP"},
    {S::Hangul, L"Hangul", L"Malgun Gothic", L"Noto Sans CJK KR"},
    {S::Emoji, L"Emoji", L"Segoe UI Emoji", L"Symbola"},
}};

bool In(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

bool IsRightToLeftLetter(char32_t c) {
  return In(c, 0x05D0, 0x05EA) || In(c, 0x05F0, 0x05F2) || In(c, 0x0620, 0x064A) || In(c, 0x066E, 0x06D3) ||
         In(c, 0x06FA, 0x06FF) || In(c, 0x0750, 0x077F) || In(c, 0x08A0, 0x08C9) || In(c, 0xFB1D, 0xFDFF) ||
         In(c, 0xFE70, 0xFEFC);
}

// What a code point says about its script; nullopt for the characters that
// take the script of their neighbours.
std::optional<S> ScriptOf(char32_t c) {
  if (In(c, U'A', U'Z') || In(c, U'a', U'z') || In(c, 0x00C0, 0x024F) || In(c, 0x1E00, 0x1EFF)) return S::Latin;
  if (In(c, 0x0370, 0x03FF) || In(c, 0x1F00, 0x1FFF)) return S::Greek;
  if (In(c, 0x0400, 0x052F)) return S::Cyrillic;
  if (In(c, 0x0590, 0x05FF) || In(c, 0xFB1D, 0xFB4F)) return S::Hebrew;
  if (In(c, 0x0600, 0x06FF) || In(c, 0x0750, 0x077F) || In(c, 0x08A0, 0x08FF) || In(c, 0xFB50, 0xFDFF) ||
      In(c, 0xFE70, 0xFEFF)) {
    return In(c, 0x0660, 0x0669) || In(c, 0x06F0, 0x06F9) ? std::nullopt : std::optional<S>(S::Arabic);
  }
  if (In(c, 0x0900, 0x097F)) return S::Devanagari;
  if (In(c, 0x0E00, 0x0E7F)) return S::Thai;
  if (In(c, 0x1100, 0x11FF) || In(c, 0x3130, 0x318F) || In(c, 0xAC00, 0xD7AF)) return S::Hangul;
  if (In(c, 0x3040, 0x30FF) || In(c, 0x31F0, 0x31FF) || In(c, 0xFF66, 0xFF9F)) return S::Kana;
  if (In(c, 0x3400, 0x4DBF) || In(c, 0x4E00, 0x9FFF) || In(c, 0xF900, 0xFAFF) || In(c, 0x20000, 0x3134F)) {
    return S::HanSimplified;
  }
  if (In(c, 0x2600, 0x27BF) || In(c, 0x1F000, 0x1FAFF)) return S::Emoji;
  return std::nullopt;
}

}  // namespace

const std::array<FallbackFamilies, kFallbackScriptCount>& FontFallbackTable() { return kTable; }

std::optional<S> HanForLanguages(const std::vector<std::wstring_view>& tags) {
  for (std::wstring_view tag : tags) {
    std::wstring t;
    for (wchar_t c : tag) t.push_back(c == L'_' ? L'-' : AsciiLower(c));
    const auto is = [&t](std::wstring_view language) {
      return t == language || (t.size() > language.size() && t.compare(0, language.size(), language) == 0 &&
                               t[language.size()] == L'-');
    };
    if (is(L"ja")) return S::Kana;
    if (is(L"ko")) return S::Hangul;
    if (is(L"zh-hant") || is(L"zh-tw") || is(L"zh-hk") || is(L"zh-mo")) return S::HanTraditional;
    if (is(L"zh")) return S::HanSimplified;
  }
  return std::nullopt;
}

std::vector<ScriptRun> SplitByScript(std::wstring_view text, std::optional<S> readersHan) {
  S han = S::HanSimplified;
  for (size_t i = 0; !readersHan && i < text.size(); ++i) {
    const std::optional<S> s = ScriptOf(CodePointAt(text, i));
    if (s == S::Kana) {
      han = S::Kana;
      break;
    }
    if (s == S::Hangul) han = S::Hangul;
  }
  std::vector<ScriptRun> runs;
  bool onlyNeutral = true;  // leading neutral characters take the first script that follows
  for (size_t at = 0; at < text.size();) {
    const size_t end = NextGraphemeBoundary(text, at);
    std::optional<S> script = ScriptOf(CodePointAt(text, at));
    if (script == S::HanSimplified) script = readersHan.value_or(han);
    if (script && onlyNeutral && !runs.empty()) {
      runs.back().script = *script;
      runs.back().end = end;
    } else if (!script || (!runs.empty() && runs.back().script == *script)) {
      if (runs.empty()) runs.push_back({at, end, S::Latin});
      runs.back().end = end;
    } else {
      runs.push_back({at, end, *script});
    }
    onlyNeutral = onlyNeutral && !script;
    at = end;
  }
  return runs;
}

bool StartsRightToLeft(std::wstring_view text) {
  for (size_t i = 0; i < text.size();) {
    size_t units = 1;
    const char32_t c = CodePointAt(text, i, &units);
    if (IsRightToLeftLetter(c)) return true;
    const std::optional<S> s = ScriptOf(c);
    if (s && *s != S::Emoji && *s != S::Arabic && *s != S::Hebrew) return false;
    i += units;
  }
  return false;
}
