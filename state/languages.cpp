#include "state/languages.h"

#include "base/text.h"
#include "channel/utf8.h"

namespace {

// Lower case with '-' between subtags; a POSIX locale's ".UTF-8" or
// "@variant" tail is cut off.
std::wstring Normalized(std::wstring_view tag) {
  std::wstring out;
  for (const wchar_t c : tag) {
    if (c == L'.' || c == L'@') break;
    out.push_back(c == L'_' ? L'-' : AsciiLower(c));
  }
  return out;
}

std::vector<std::wstring_view> Subtags(std::wstring_view tag) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t dash = tag.find(L'-', start);
    parts.push_back(tag.substr(start, dash == std::wstring_view::npos ? dash : dash - start));
    if (dash == std::wstring_view::npos) return parts;
    start = dash + 1;
  }
}

const Language* FindExact(std::wstring_view normalized) {
  for (const Language& language : AllLanguages()) {
    if (Normalized(language.tag) == normalized) return &language;
  }
  return nullptr;
}

// The tag that speaks for a language whose tables differ by script or
// norm rather than by region; empty when the plain language rule decides.
std::wstring_view VariantFor(const std::vector<std::wstring_view>& subtags) {
  const std::wstring_view language = subtags[0];
  std::wstring_view script, region;
  for (size_t i = 1; i < subtags.size(); ++i) {
    if (subtags[i].size() == 4 && script.empty()) script = subtags[i];
    if (subtags[i].size() == 2 && region.empty()) region = subtags[i];
  }
  if (language == L"zh") {
    const bool traditional = script == L"hant" || (script.empty() && (region == L"tw" || region == L"hk" || region == L"mo"));
    return traditional ? L"zh-hant" : L"zh-hans";
  }
  // Brazilian Portuguese for Brazil and for a bare "pt"; the European norm
  // for Portugal and the other countries that follow it.
  if (language == L"pt") return region.empty() || region == L"br" ? L"pt-br" : L"pt-pt";
  // Norwegian in general and Nynorsk readers get Bokmål.
  if (language == L"no" || language == L"nn") return L"nb";
  return {};
}

const Language* Match(std::wstring_view tag) {
  const std::wstring normalized = Normalized(tag);
  if (normalized.empty()) return nullptr;
  if (const Language* exact = FindExact(normalized)) return exact;
  const std::vector<std::wstring_view> subtags = Subtags(normalized);
  const std::wstring_view variant = VariantFor(subtags);
  if (!variant.empty()) {
    if (const Language* found = FindExact(variant)) return found;
  }
  for (const Language& language : AllLanguages()) {
    if (Subtags(Normalized(language.tag))[0] == subtags[0]) return &language;
  }
  return nullptr;
}

}  // namespace

const Language& English() { return AllLanguages().front(); }

std::wstring_view Text(const Language& language, TextId id) {
  // Each language's texts in wide characters, decoded from its UTF-8 pool on
  // its first text and kept for the process's life.
  static std::vector<std::vector<std::wstring>> decoded(AllLanguages().size());
  std::vector<std::wstring>& texts = decoded[static_cast<size_t>(&language - AllLanguages().data())];
  if (texts.empty()) {
    texts.reserve(kTextCount);
    size_t begin = 0;
    for (int index = 0; index < kTextCount; ++index) {
      texts.push_back(Utf8ToWide(std::string_view(language.pool + begin, language.ends[index] - begin)));
      begin = language.ends[index];
    }
  }
  return texts[static_cast<size_t>(id)];
}

std::wstring FormatText(const Language& language, TextId id, std::wstring_view value) {
  std::wstring text(Text(language, id));
  const size_t open = text.find(L'{');
  const size_t close = open == std::wstring::npos ? open : text.find(L'}', open);
  if (close != std::wstring::npos) text.replace(open, close - open + 1, value);
  return text;
}

const Language& ChooseLanguage(const std::vector<std::wstring>& preferredTags) {
  for (const std::wstring& tag : preferredTags) {
    if (const Language* language = Match(tag)) return *language;
  }
  return English();
}
