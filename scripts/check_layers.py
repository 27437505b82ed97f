#!/usr/bin/env python3
"""Checks the rooms of src/. Two rules, each offence printed; exits non-zero when there is one:
- floors: no include points from a lower floor to a higher one;
- rooms: a folder includes only from itself and the folders its entry in ROOMS names, so that a
  program or a subsystem does not reach into a neighbour it has no business with (HalcyraCmd
  into the tray's windows, say) even where the floors would let it.
It also checks that no file includes itself through others."""
import pathlib
import re
import sys

# Lowest first. A folder may include its own floor and those below it.
LAYERS = ["core", "platform", "lang", "toolkit", "app", "actions", "schedule", "one_off", "ui", "wizard",
          "service", "setup", "cmd", ""]

# Every folder of src/ ("" is src/ itself) and the folders it may include from, besides itself.
# A subfolder is a room of its own: naming "platform" does not open "platform/win32". A new
# folder needs its entry here before the check passes.
ROOMS = {
    "core": [],
    "platform": ["core"],
    "platform/portable": ["core", "platform"],
    "platform/win32": ["core", "platform"],
    # The texts users see, in their language.
    "lang": ["core", "platform", "platform/win32"],
    "toolkit": ["core", "platform", "platform/win32", "lang"],
    "app": ["core", "platform", "lang"],
    "actions": ["core", "platform", "lang", "platform/win32", "toolkit", "app"],
    "schedule": ["core", "platform", "lang", "platform/win32", "toolkit", "app", "actions"],
    # The one-off action: its request and rules, its window, HalcyraCmd's channel at both ends.
    "one_off": ["core", "platform", "lang", "platform/win32", "toolkit", "app", "actions", "schedule"],
    "ui": ["core", "platform", "lang", "platform/win32", "toolkit", "app", "actions", "schedule",
           "one_off"],
    "wizard": ["core", "platform", "lang", "platform/win32", "toolkit", "app", "actions", "schedule", "ui"],
    # The companion service has no windows of the tray program's.
    "service": ["core", "platform", "lang", "platform/win32", "toolkit", "app", "actions", "schedule"],
    # The package's custom actions prepare the data folder with the service's own code.
    "setup": ["core", "platform", "lang", "platform/win32", "app", "service"],
    # HalcyraCmd speaks to the tray program in the request's text only.
    "cmd": ["core", "platform", "lang", "platform/win32", "app", "actions", "schedule", "one_off"],
    # The composition root of Halcyra.exe.
    "": ["core", "platform", "lang", "platform/win32", "toolkit", "app", "actions", "schedule", "one_off",
         "ui", "wizard"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

src = pathlib.Path(__file__).resolve().parent.parent / "src"


def folder_of(relative: str) -> str:
    return relative.rpartition("/")[0]


def layer_of(relative: str) -> int:
    """The floor of a file; a folder missing from LAYERS is above them all, and ROOMS says so."""
    top = folder_of(relative).split("/")[0]
    return LAYERS.index(top) if top in LAYERS else len(LAYERS)


def main() -> int:
    graph = {}
    offences = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        name = path.relative_to(src).as_posix()
        room = folder_of(name)
        if room not in ROOMS:
            offences.append(f"{name}: its folder src/{room} has no entry in ROOMS")
        targets = [t for t in INCLUDE.findall(path.read_text()) if (src / t).exists()]
        graph[name] = targets
        for target in targets:
            if layer_of(target) > layer_of(name):
                offences.append(f"{name} includes {target}, a higher floor")
            elif room in ROOMS and folder_of(target) not in [room] + ROOMS[room]:
                offences.append(
                    f"{name} includes {target}, from a folder that src/{room} may not include")
    # File-level cycles, by depth-first search over the headers.
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in graph.get(node, []):
            if state.get(nxt) == "open":
                offences.append("cycle: " + " -> ".join(trail[trail.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = "done"

    for node in graph:
        if node not in state:
            visit(node, [node])
    for offence in offences:
        print(offence)
    print(f"{len(graph)} files, {sum(map(len, graph.values()))} includes, {len(offences)} offences")
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())
