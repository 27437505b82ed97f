#!/usr/bin/env python3
"""Checks the floors of src/: no include points from a lower layer to a higher one, and no
file includes itself through others. Prints each offence; exits non-zero when there is one."""
import pathlib
import re
import sys

# Lowest first. A folder may include its own floor and those below it.
LAYERS = ["core", "platform", "toolkit", "app", "actions", "schedule", "ui", "wizard", "service", "setup", "cmd", ""]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

src = pathlib.Path(__file__).resolve().parent.parent / "src"


def layer_of(relative: str) -> int:
    top = relative.split("/")[0] if "/" in relative else ""
    return LAYERS.index(top)


def main() -> int:
    graph = {}
    offences = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        name = path.relative_to(src).as_posix()
        targets = [t for t in INCLUDE.findall(path.read_text()) if (src / t).exists()]
        graph[name] = targets
        for target in targets:
            if layer_of(target) > layer_of(name):
                offences.append(f"{name} includes {target}, a higher floor")
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
