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

namespace {

// The index of the form the rule picks for n, in the order PluralRule lists.
size_t PluralForm(PluralRule rule, uint64_t n) {
  const uint64_t ten = n % 10, hundred = n % 100;
  const bool fewEnding = ten >= 2 && ten <= 4 && !(hundred >= 12 && hundred <= 14);
  switch (rule) {
    case PluralRule::None:
      return 0;
    case PluralRule::One:
      return n == 1 ? 0 : 1;
    case PluralRule::OneZero:
      return n <= 1 ? 0 : 1;
    case PluralRule::EastSlavic:
      if (ten == 1 && hundred != 11) return 0;
      return fewEnding ? 1 : 2;
    case PluralRule::Polish:
      if (n == 1) return 0;
      return fewEnding ? 1 : 2;
    case PluralRule::Czech:
      if (n == 1) return 0;
      return n >= 2 && n <= 4 ? 1 : 2;
    case PluralRule::Hebrew:
      return n == 1 ? 0 : n == 2 ? 1 : 2;
    case PluralRule::Arabic:
      if (n <= 2) return static_cast<size_t>(n);
      if (hundred >= 3 && hundred <= 10) return 3;
      if (hundred >= 11) return 4;
      return 5;
  }
  return 0;
}

}  // namespace

std::wstring PluralText(const Language& language, TextId id, uint64_t count) {
  std::wstring_view text = Text(language, id);
  for (size_t form = PluralForm(language.plural, count); form > 0; --form) {
    const size_t bar = text.find(L'|');
    if (bar == std::wstring_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  text = text.substr(0, text.find(L'|'));
  std::wstring out(text);
  const size_t at = out.find(L"{n}");
  if (at != std::wstring::npos) out.replace(at, 3, DecimalText(count));
  return out;
}

const Language& ChooseLanguage(const std::vector<std::wstring>& preferredTags) {
  for (const std::wstring& tag : preferredTags) {
    if (const Language* language = Match(tag)) return *language;
  }
  return English();
}
