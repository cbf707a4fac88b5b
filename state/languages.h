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

struct Language {
  std::wstring_view tag;   // "en", "de", "pt-BR", "zh-Hant"
  std::wstring_view name;  // the language's own name ("Deutsch")
  bool rightToLeft = false;
  // The texts one after the other in UTF-8, without terminators between
  // them; text N runs from byte ends[N - 1] (0 for the first) to ends[N].
  const char* pool = nullptr;
  const uint16_t* ends = nullptr;  // kTextCount offsets into pool, indexed by TextId
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

// The language for the user's preferred tags, in order of preference: for
// each tag the table of that exact tag (letter case and '_' or '-' aside),
// else one of the same language whatever the region (pt gives pt-BR,
// pt-AO pt-PT, zh-CN and zh-SG zh-Hans, zh-TW, zh-HK and zh-MO zh-Hant,
// no and nn nb); a tag without a table falls through to the next one, and
// English answers when none has one. Never fails.
const Language& ChooseLanguage(const std::vector<std::wstring>& preferredTags);
