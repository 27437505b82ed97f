#!/usr/bin/env python3
"""Checks that the help tells what the programs say. Two rules, each offence printed; exits
non-zero when there is one:
- quotes: every text the help's pages put in quotation marks is one of the programs' own texts
  (a string in the sources or the resource scripts), or stands in NOT_OURS with the reason;
- events: the event ids the service page lists are exactly the ids of the message table, and
  those are exactly the program's kinds of event-log line."""
import html
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent

# Quotes that are not the programs' texts, each with why it is quoted.
NOT_OURS = {
    # Windows' own words, which the help tells the user to look for.
    "Do you want to save?": "what another program asks as Windows ends",
    "Domain Computers": "a Windows group",
    "modify": "a Windows access right",
    "On battery": "a power-plan setting",
    "Important wake timers only": "a power-plan setting",
    "Standby (S0 Low Power Idle)": "powercfg's words",
    "Run whether user is logged on or not": "Task Scheduler's option",
    "Run only when user is logged on": "Task Scheduler's option",
    "only when the user is logged on": "Task Scheduler's option, quoted in a sentence",
    "run a command when all downloads are complete": "a download program's option",
    "complete": "a download program's state",
    "Start a program": "Task Scheduler's action",
    "C:\\Program Files\\Halcyra\\ShutdownService.exe": "the service's path as Windows shows it",
    # What the user types, and examples made of the user's own data.
    "/": "an option's first character",
    "-": "an option's first character",
    "=": "a character of the file",
    ";": "a character of the file",
    "[": "a character of the file",
    "...": "an ellipsis in a quoted title",
    "Ctrl+Alt+R": "a hotkey a user may choose",
    "Nap": "an event word HalcyraCmd refuses",
    "title - program.exe": "the form of a window's row, with placeholders",
    "Halcyra: title at hh:mm": "a wake-up timer's reason, with placeholders",
    "when it is done": "the one-off window's words for a program's end, in a sentence",
    "Power off when handbrake.exe ends": "a pending request with a user's program",
    "Power off when the computer is quiet for 10 minutes (3 of 10 quiet minutes; processor 4 %, network 1 KB/s)":
        "a pending request with measured figures",
}

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
# A literal's end, blanks, and the next literal's start: adjacent literals are one string.
ADJACENT = re.compile(r'(?<!\\)"\s*"')
COMMENT = re.compile(r'//[^\n]*|/\*.*?\*/', re.S)


def program_texts() -> set:
    """Every string of the sources and the resource scripts, adjacent literals joined, each
    whole and each of its lines; comments are no texts."""
    texts = set()
    files = [p for p in (root / "src").rglob("*") if p.suffix in (".cpp", ".h")]
    files += list((root / "res").glob("*.rc"))
    for path in files:
        source = path.read_text(encoding="utf-8", errors="replace")
        # Comments go first, but a "//" inside a string (a URL) is no comment.
        source = re.sub(r'"(?:[^"\\\n]|\\.)*"|' + COMMENT.pattern,
                        lambda m: m.group(0) if m.group(0).startswith('"') else " ", source,
                        flags=re.S)
        for literal in LITERAL.findall(ADJACENT.sub("", source)):
            text = literal.replace('\\"', '"').replace("\\n", "\n").replace("\\\\", "\\")
            texts.add(text)
            texts.update(line.strip() for line in text.split("\n"))
    return texts


def help_quotes():
    for page in sorted((root / "help").glob("*.html")):
        text = re.sub(r"<pre>.*?</pre>", " ", page.read_text(encoding="utf-8"), flags=re.S)
        text = html.unescape(re.sub(r"<[^>]+>", "", text)).replace("\n", " ")
        text = text.replace("\u201c", '"').replace("\u201d", '"')
        for quote in re.findall(r'"([^"]+)"', text):
            yield page.name, re.sub(r"\s+", " ", quote)


def event_offences():
    table = {int(n) for n in re.findall(r"^MessageId=(\d+)", (root / "res/service_messages.mc")
                                        .read_text(), re.M)}
    header = (root / "src/platform/service_host.h").read_text()
    kinds = re.search(r"enum class ServiceEvent[^{]*\{(.*?)\};", header, re.S).group(1)
    code = {int(n) for n in re.findall(r"=\s*(\d+)\s*,", kinds)}
    page = html.unescape(re.sub(r"<[^>]+>", "", (root / "help/service.html").read_text()))
    listing = page[page.index("Its entries in the Windows event log"):]
    listing = listing[:listing.index("See also")]
    listed = {int(n) for n in re.findall(r"(?:[:;]|too:)\s+(\d{1,2})\s", listing)}
    offences = []
    if table != code:
        offences.append(f"events: the message table has ids {sorted(table)}, the program "
                        f"{sorted(code)}")
    if listed != table:
        offences.append(f"events: help/service.html lists ids {sorted(listed)}, the message "
                        f"table has {sorted(table)}")
    return offences


def main() -> int:
    texts = program_texts()
    offences = [f"quotes: {page} quotes \"{quote}\", which no program says"
                for page, quote in help_quotes() if quote not in NOT_OURS and quote not in texts]
    offences += event_offences()
    for offence in offences:
        print(offence)
    print(f"help texts: {len(offences)} offences")
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())
