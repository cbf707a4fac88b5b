#!/usr/bin/env python3
"""Checks the language files and turns them into the launcher's text tables.

    make_language_tables.py --en EN.txt --out-dir DIR LANG.txt...   checks, then writes
        DIR/text_ids.h (enum class TextId, in the order of EN.txt) and
        DIR/language_tables.cpp (every language's texts, English first)
    make_language_tables.py --en EN.txt --check LANG.txt...         checks only

A language file holds "key = text" lines (UTF-8; "#" starts a comment line,
blank lines are skipped) and four settings: "@name" (the language's own name),
"@direction" (ltr or rtl), "@decimal" (the decimal separator, one character)
and "@plural" (the language's plural rule for whole numbers, a name of
PLURAL_FORMS). Its name is its tag: de.txt, pt-BR.txt.

Every file must hold exactly the keys of the English file, each once, with a
non-empty text that carries the same placeholders ({code}, {percent}) as the
English one. A text whose English one is split by "|" into plural forms has
as many forms as the language's rule has categories, each form non-empty. Any breach is printed as FILE:LINE: message and the exit code
is 1, so the build stops.
"""
import pathlib
import re
import sys

PLACEHOLDER = re.compile(r"\{[a-z]+\}")
# Plural rules for whole numbers, with the number of forms each takes (and
# the enumerator of PluralRule in state/languages.h).
PLURAL_FORMS = {"none": (1, "None"), "one": (2, "One"), "one-zero": (2, "OneZero"),
                "east-slavic": (3, "EastSlavic"), "polish": (3, "Polish"), "czech": (3, "Czech"),
                "hebrew": (3, "Hebrew"), "arabic": (6, "Arabic")}
TAG = re.compile(r"^[a-z]{2,3}(-[A-Z][a-z]{3})?(-[A-Z]{2})?$")


def read_language(path):
    """(settings, texts, errors): dicts keyed by name, in file order."""
    settings, texts, errors = {}, {}, []
    try:
        lines = path.read_text(encoding="utf-8").splitlines()
    except (OSError, UnicodeDecodeError) as err:
        return settings, texts, [f"{path}: cannot be read as UTF-8 ({err})"]
    for number, raw in enumerate(lines, 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        key, sep, text = line.partition("=")
        key, text = key.strip(), text.strip()
        where = f"{path}:{number}"
        if not sep or not key:
            errors.append(f"{where}: not a 'key = text' line")
        elif key.startswith("@"):
            settings[key[1:]] = text
        elif key in texts:
            errors.append(f"{where}: key {key} given twice")
        elif not text:
            errors.append(f"{where}: key {key} has no text")
        else:
            texts[key] = (text, number)
    return settings, texts, errors


def check(path, english, settings, texts):
    errors = []
    if not TAG.match(path.stem):
        errors.append(f"{path}: the file name is no language tag (such as de, pt-BR, zh-Hant)")
    if not settings.get("name"):
        errors.append(f"{path}: lacks @name")
    if settings.get("direction") not in ("ltr", "rtl"):
        errors.append(f"{path}: @direction must be ltr or rtl")
    if len(settings.get("decimal", "")) != 1:
        errors.append(f"{path}: @decimal must be one character")
    plural = settings.get("plural")
    if plural not in PLURAL_FORMS:
        errors.append(f"{path}: @plural must be one of {', '.join(PLURAL_FORMS)}")
    for key, (text, number) in texts.items():
        if key not in english:
            errors.append(f"{path}:{number}: extra key {key} (not in en.txt)")
            continue
        want = sorted(set(PLACEHOLDER.findall(english[key][0])))
        got = sorted(set(PLACEHOLDER.findall(text)))
        if "|" in english[key][0] and plural in PLURAL_FORMS:
            forms = text.split("|")
            if len(forms) != PLURAL_FORMS[plural][0] or not all(f.strip() for f in forms):
                errors.append(f"{path}:{number}: key {key} needs {PLURAL_FORMS[plural][0]} non-empty forms "
                              f"split by '|' for @plural {plural}, has {len(forms)}")
        if want != got:
            errors.append(f"{path}:{number}: key {key} must carry the placeholders {want or 'none'}, has {got or 'none'}")
    for key in english:
        if key not in texts:
            errors.append(f"{path}: lacks key {key}")
    return errors


def cpp_literal(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in '\\"':
            out.append("\\" + ch)
        elif 0x20 <= code < 0x7F:
            out.append(ch)
        elif code <= 0xFFFF:
            out.append(f"\\u{code:04X}")
        else:
            out.append(f"\\U{code:08X}")
    return 'L"' + "".join(out) + '"'


def utf8_literal(text):
    """A narrow literal of the text's UTF-8 bytes; bytes outside printable
    ASCII as three-digit octal escapes, which never swallow a following digit."""
    out = []
    for byte in text.encode("utf-8"):
        ch = chr(byte)
        if ch in '\\"?':
            out.append("\\" + ch)
        elif 0x20 <= byte < 0x7F:
            out.append(ch)
        else:
            out.append(f"\\{byte:03o}")
    return '"' + "".join(out) + '"'


def enumerator(key):
    return "".join(part.capitalize() for part in re.split(r"[._]", key))


def write(path, text):
    path.write_text(text, encoding="utf-8")


def generate(out_dir, english_keys, languages):
    ids = "\n".join(f"  {enumerator(k)}," for k in english_keys)
    write(out_dir / "text_ids.h", f"""#pragma once
// Generated from state/languages/en.txt by tools/make_language_tables.py: do not edit.
#include <cstdint>

enum class TextId : uint16_t {{
{ids}
}};

inline constexpr int kTextCount = {len(english_keys)};
""")
    # Each language's texts follow one another in one UTF-8 literal, cut by
    # their end offsets in bytes: constant data, half the size of UTF-16 for
    # most scripts, no start-up code and no per-text views.
    rows, tables = [], []
    for index, (tag, settings, texts) in enumerate(languages):
        ends, end = [], 0
        for k in english_keys:
            end += len(texts[k][0].encode("utf-8"))
            ends.append(str(end))
        if end > 0xFFFF:
            raise SystemExit(f"{tag}: the texts hold {end} UTF-8 bytes, more than an offset table of 16 bits reaches")
        pool = "\n".join(f"    {utf8_literal(texts[k][0])}" for k in english_keys)
        tables.append(f"constexpr char kPool{index}[] =\n{pool};\n"
                      f"constexpr uint16_t kEnds{index}[kTextCount] = {{{', '.join(ends)}}};")
        rtl = "true" if settings["direction"] == "rtl" else "false"
        decimal = cpp_literal(settings["decimal"]).replace('L"', "L'", 1)[:-1] + "'"
        rule = PLURAL_FORMS[settings["plural"]][1]
        rows.append(f"    {{{cpp_literal(tag)}, {cpp_literal(settings['name'])}, {rtl}, kPool{index}, kEnds{index}, "
                    f"{decimal}, PluralRule::{rule}}},")
    keys = ",\n".join(f"    {cpp_literal(k)}" for k in english_keys)
    write(out_dir / "language_tables.cpp", f"""// Generated from state/languages/*.txt by tools/make_language_tables.py: do not edit.
#include "state/languages.h"

#include <array>
#include <cstdint>

namespace {{

{chr(10).join(tables)}

constexpr std::array<Language, {len(languages)}> kLanguages{{{{
{chr(10).join(rows)}
}}}};

constexpr std::array<std::wstring_view, kTextCount> kKeys{{{{
{keys}}}}};

}}  // namespace

std::span<const Language> AllLanguages() {{ return kLanguages; }}

std::wstring_view TextKey(TextId id) {{ return kKeys[static_cast<size_t>(id)]; }}
""")


def main(argv):
    args = list(argv)
    english_path, out_dir, files = None, None, []
    while args:
        arg = args.pop(0)
        if arg == "--en" and args:
            english_path = pathlib.Path(args.pop(0))
        elif arg == "--out-dir" and args:
            out_dir = pathlib.Path(args.pop(0))
        elif arg == "--check":
            out_dir = None
        else:
            files.append(pathlib.Path(arg))
    if english_path is None:
        print("usage: make_language_tables.py --en EN.txt (--out-dir DIR | --check) LANG.txt...", file=sys.stderr)
        return 2
    en_settings, english, errors = read_language(english_path)
    errors += check(english_path, english, en_settings, english)
    languages = [("en", en_settings, english)]
    for path in sorted(set(files) - {english_path}, key=lambda p: p.stem):
        settings, texts, read_errors = read_language(path)
        errors += read_errors + check(path, english, settings, texts)
        languages.append((path.stem, settings, texts))
    if errors:
        print("\n".join(errors), file=sys.stderr)
        return 1
    if out_dir is not None:
        out_dir.mkdir(parents=True, exist_ok=True)
        generate(out_dir, list(english), languages)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
