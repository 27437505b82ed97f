#!/usr/bin/env python3
"""Writes the program's string tables: the English catalog, each translation in res/lang, and
the two pseudo-locales made from the English. A text without a translation is left out of that
language's table (the program then shows the English); the resource test reports it.

usage: texts_rc.py english_texts.inc lang_folder output.rc
"""
import ast
import pathlib
import re
import sys

FIRST_ID = 1000
# File name -> (primary language, sublanguage) of its table.
LANGUAGES = {"en": (0x09, 0x00), "de": (0x07, 0x00), "fr": (0x0C, 0x00), "es": (0x0A, 0x00),
             "ja": (0x11, 0x00)}
PSEUDO = (0x101, 0x01)     # qps-ploc
MIRRORED = (0x1FF, 0x02)   # qps-plocm

ACCENTED = dict(zip(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "áƀçđéƒĝĥíĵķĺɱñóþqŕšţúṽŵẋýžÅßÇĐÉƑĜĤÍĴĶĹṀÑÓÞQŔŠŢÚṼŴẊÝŽ"))
INSERT = re.compile(r"%[1-9]")


def english_texts(path):
    texts = []
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if not line or line.startswith("//"):
            continue
        texts.append(ast.literal_eval(line.rstrip(",")))
    return texts


def unescape(field):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), field)


def translations(path):
    table = {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line or line.startswith("#"):
            continue
        english, sep, translated = line.partition("\t")
        if not sep:
            sys.exit(f"{path}:{number}: no tab between the English and its translation")
        english = unescape(english)
        context = re.match(r"\{(\w+)\}", english)
        if context:  # "{one}text": the catalog's "one\x04text"
            english = context.group(1) + "\x04" + english[context.end():]
        table[english] = unescape(translated)
    return table


def pseudo(text):
    # A file dialog's filter keeps its pattern after the bar, or it would match no file.
    shown, bar, pattern = text.partition("|")
    if bar:
        return pseudo(shown) + bar + pattern
    # Every letter accented and the whole about 40 % longer, in brackets; inserts, accelerators
    # and line breaks kept, so that the text still works where the English does.
    parts = INSERT.split(text)
    inserts = INSERT.findall(text)
    out = "".join(
        "".join(ACCENTED.get(c, c) for c in part) + (inserts[i] if i < len(inserts) else "")
        for i, part in enumerate(parts))
    padding = max(1, (len(text) * 2 + 4) // 5)
    return "[" + out + " " + "·" * padding + "]"


def rc_literal(text):
    out = []
    data = text.encode("utf-16-le")
    for i in range(0, len(data), 2):
        code = data[i] | data[i + 1] << 8
        c = chr(code)
        if c == '"':
            out.append('""')
        elif c == "\\":
            out.append("\\\\")
        elif c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        elif 0x20 <= code < 0x7F:
            out.append(c)
        else:
            out.append(f"\\x{code:04x}")
    return 'L"' + "".join(out) + '"'


def table(language, texts):
    lines = [f"LANGUAGE 0x{language[0]:x}, 0x{language[1]:x}", "STRINGTABLE", "BEGIN"]
    lines += [f"  {FIRST_ID + i} {rc_literal(t)}" for i, t in enumerate(texts) if t]
    return "\n".join(lines + ["END", ""])


def main():
    english = english_texts(sys.argv[1])
    folder = pathlib.Path(sys.argv[2])
    shown = [t.split("\x04")[-1] for t in english]
    parts = ["// Made by scripts/texts_rc.py from src/lang/english_texts.inc and res/lang.",
             table(LANGUAGES["en"], shown)]
    for name, language in LANGUAGES.items():
        if name == "en":
            continue
        known = translations(folder / f"{name}.tsv")
        parts.append(table(language, [known.get(t, "") for t in english]))
    parts.append(table(PSEUDO, [pseudo(t) for t in shown]))
    parts.append(table(MIRRORED, [pseudo(t) for t in shown]))
    pathlib.Path(sys.argv[3]).write_text("\n".join(parts), encoding="ascii")


main()
