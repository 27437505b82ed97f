#!/usr/bin/env python3
"""Checks that the programs call the wide forms of the Win32 functions: no name of an ANSI
function, structure or macro (one that the toolchain's headers pair with a wide twin) appears in
src/ outside comments, and no text is converted to or from the ANSI code page (CP_ACP) outside
the one unit that does it for the settings file. Prints each offence; exits non-zero when there
is one."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
HEADERS = pathlib.Path("/usr/share/mingw-w64/include")
PAIRED = re.compile(r"__MINGW_(?:NAME|TYPEDEF)_U?AW\((\w+)\)")
DEFINED = re.compile(r"^\s*#\s*define\s+(\w+)\s+(\w+)A\b", re.M)
COMMENT = re.compile(r"//[^\n]*|/\*.*?\*/", re.S)
WORD = re.compile(r"\b\w+A\b")
CODE_PAGE_UNIT = "src/platform/win32/code_page_win.cpp"


def ansi_names() -> set:
    names = set()
    for header in HEADERS.rglob("*.h"):
        text = header.read_text(errors="replace")
        names.update(generic + "A" for generic in PAIRED.findall(text))
        # "#define Process32First Process32FirstA" and the like, outside the paired macros.
        names.update(ansi + "A" for generic, ansi in DEFINED.findall(text) if generic == ansi)
    return names


def main() -> int:
    if not HEADERS.is_dir():
        print(f"no headers in {HEADERS}")
        return 1
    ansi = ansi_names()
    offences = []
    for path in sorted((ROOT / "src").rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        code = COMMENT.sub(lambda m: "\n" * m.group().count("\n"), path.read_text())
        relative = path.relative_to(ROOT).as_posix()
        for number, line in enumerate(code.splitlines(), 1):
            for word in WORD.findall(line):
                if word in ansi:
                    offences.append(f"{relative}:{number}: {word}")
            if "CP_ACP" in line and relative != CODE_PAGE_UNIT:
                offences.append(f"{relative}:{number}: CP_ACP outside {CODE_PAGE_UNIT}")
    for offence in offences:
        print(offence)
    print(f"{len(ansi)} ANSI names known, {len(offences)} offences")
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())
