#pragma once
// The launcher's own texts in every language it speaks. The tables are
// generated at build time from state/languages/<tag>.txt (checked there:
// every key of en.txt, no other, placeholders kept) and compiled in; nothing
// is read at run time. Portable.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text_ids.h"

// How a language picks the form of a word counted by a whole number; each
// rule's forms are given in this order in a text split by "|":
//   None: one form (ja, ko, zh)           One: 1 | other (en, de, ...)
//   OneZero: 0 and 1 | other (fr, pt-BR)  EastSlavic: one | few | many (ru, uk)
//   Polish: 1 | few | many               Czech: 1 | 2-4 | other
//   Hebrew: 1 | 2 | other                Arabic: 0 | 1 | 2 | few | many | other
enum class PluralRule : uint8_t { None, One, OneZero, EastSlavic, Polish, Czech, Hebrew, Arabic };

struct Language {
  std::wstring_view tag;   // "en", "de", "pt-BR", "zh-Hant"
  std::wstring_view name;  // the language's own name ("Deutsch")
  bool rightToLeft = false;
  // The texts one after the other in UTF-8, without terminators between
  // them; text N runs from byte ends[N - 1] (0 for the first) to ends[N].
  const char* pool = nullptr;
  const uint16_t* ends = nullptr;  // kTextCount offsets into pool, indexed by TextId
  wchar_t decimal = L'.';          // the decimal separator ("42,6 MB" in German)
  PluralRule plural = PluralRule::One;
};

// Every language, English first.
std::span<const Language> AllLanguages();

const Language& English();

// One of the language's texts. `language` is one of AllLanguages(). The
// view stays valid for the process's life. Window thread only (or, in the
// tools and tests, one thread): a language's texts are decoded on its first
// call.
std::wstring_view Text(const Language& language, TextId id);

// The key of a text in the language files ("button.cancel").
std::wstring_view TextKey(TextId id);

// The text with its placeholder ({code}, {percent}) replaced by `value`.
std::wstring FormatText(const Language& language, TextId id, std::wstring_view value);

// The form of a plural text ("About {n} minute left|About {n} minutes left")
// that the language's rule picks for `count`, with {n} replaced by it. A
// text with fewer forms than the rule asks gives its last form.
std::wstring PluralText(const Language& language, TextId id, uint64_t count);

// The language for the user's preferred tags, in order of preference: for
// each tag the table of that exact tag (letter case and '_' or '-' aside),
// else one of the same language whatever the region (pt gives pt-BR,
// pt-AO pt-PT, zh-CN and zh-SG zh-Hans, zh-TW, zh-HK and zh-MO zh-Hant,
// no and nn nb); a tag without a table falls through to the next one, and
// English answers when none has one. Never fails.
const Language& ChooseLanguage(const std::vector<std::wstring>& preferredTags);
