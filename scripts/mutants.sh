#!/usr/bin/env bash
# Our own mutants: each one-line fault in tests/mutants/*.txt is applied alone to a copy of the
# working tree, the native unit tests are rebuilt there and run, and the fault must make them
# fail. Reports each mutant as caught, missed, stale (its text is no longer found exactly once)
# or broken (it does not build), and ends with "N caught, N missed, N stale, N broken"; exits
# non-zero unless every mutant is caught. Optional arguments: names of listings to run alone.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"

WORK=$ROOT/build/mutants
TREE=$WORK/tree

# The listings: blocks of "file:", "text:", "into:" and "why:" lines, one block per mutant,
# blank lines between; lines starting with "#" are notes. "list" prints one line per mutant
# (name, file, why); "apply NAME" puts that fault into the copy, or says "stale" when its text
# is not found there exactly once. The text is matched exactly, spaces and quotes included.
mutants() {
  python3 - "$TREE" "$@" <<'PY'
import glob, os, sys
tree, command = sys.argv[1], sys.argv[2]
mutants = {}
for listing in sorted(glob.glob("tests/mutants/*.txt")):
    stem, number = os.path.basename(listing)[:-4], 0
    for block in open(listing).read().split("\n\n"):
        lines = [l for l in block.splitlines() if l.strip() and not l.startswith("#")]
        if not lines:
            continue
        fields = {}
        for line in lines:
            key, _, value = line.partition(":")
            fields[key] = value[1:] if value.startswith(" ") else value
        number += 1
        mutants[f"{stem}#{number}"] = fields
if command == "list":
    for name, m in mutants.items():
        print(name, m["file"].strip(), m["why"].strip(), sep="\t")
    sys.exit(0)
if command == "check":
    stale = 0
    for name, m in mutants.items():
        path = os.path.join(tree, m["file"].strip())
        text = open(path).read() if os.path.exists(path) else ""
        if text.count(m["text"]) != 1:
            stale += 1
            print(f"{name}: stale in {m['file'].strip()}: {m['text']!r}")
    print(f"{len(mutants)} mutants, {stale} stale")
    sys.exit(1 if stale else 0)
m = mutants[sys.argv[3]]
path = os.path.join(tree, m["file"].strip())
text = open(path).read() if os.path.exists(path) else ""
if text.count(m["text"]) != 1:
    print("stale")
else:
    open(path, "w").write(text.replace(m["text"], m["into"]))
PY
}

# "--check": only that every listed text still occurs exactly once in the working tree, in a
# second and without a build (the test command runs it).
if [ "${1:-}" = --check ]; then
  TREE=$ROOT mutants check
  exit
fi

ensure_packages
started=$SECONDS
mkdir -p "$TREE"
# The copy holds what the working tree holds now, committed or not; a second run only copies
# files that changed, so the build there stays incremental. A copy gets the time of its copying,
# never the original's: a file put back after an interrupted run must be newer than the objects
# built from its mutant.
while IFS= read -r -d '' f; do
  cmp -s "$f" "$TREE/$f" || { mkdir -p "$TREE/$(dirname "$f")" && cp "$f" "$TREE/$f"; }
done < <(git ls-files -co --exclude-standard -z)
cmake -S "$TREE" -B "$WORK/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >"$WORK/configure.log" 2>&1 ||
  { tail -20 "$WORK/configure.log"; exit 1; }
log "building the unmutated unit tests"
cmake --build "$WORK/build" -j2 --target unit_tests >"$WORK/build.log" 2>&1 ||
  { tail -30 "$WORK/build.log"; exit 1; }
# A mutant counts only against a suite that passes without it.
"$WORK/build/tests/unit_tests" --gtest_brief=1 >"$WORK/baseline.log" 2>&1 ||
  { tail -30 "$WORK/baseline.log"; log "the unit tests fail without a mutant"; exit 1; }

caught=0 missed=0 stale=0 broken=0
# An interrupted run puts the file it mutated back on its way out.
mutated=
trap '[ -n "$mutated" ] && cp "$mutated" "$TREE/$mutated"' EXIT
while IFS=$'\t' read -r -u 3 name file why; do
  if [ "$#" -gt 0 ] && ! printf '%s\n' "$@" | grep -qF -- "${name%#*}"; then continue; fi
  mutated=$file
  if [ "$(mutants apply "$name")" = stale ]; then
    mutated=
    stale=$((stale + 1))
    printf '%-20s %-7s %s (the text is not found there exactly once)\n' "$name" stale "$file"
    continue
  fi
  if ! cmake --build "$WORK/build" -j2 --target unit_tests >"$WORK/mutant.log" 2>&1; then
    verdict=broken
  elif timeout --kill-after=10 120 "$WORK/build/tests/unit_tests" --gtest_brief=1 \
    --gtest_fail_fast >"$WORK/mutant-run.log" 2>&1; then
    verdict=missed
  else
    verdict=caught
  fi
  cp "$file" "$TREE/$file"
  mutated=
  case $verdict in
    caught) caught=$((caught + 1)) ;;
    missed) missed=$((missed + 1)) ;;
    broken) broken=$((broken + 1)) ;;
  esac
  printf '%-20s %-7s %s: %s\n' "$name" "$verdict" "$file" "$why"
done 3< <(mutants list)
# The copy ends as the tree: the next run's build starts from the unmutated objects.
cmake --build "$WORK/build" -j2 --target unit_tests >"$WORK/build.log" 2>&1
log "mutants took $((SECONDS - started)) s"
echo "$caught caught, $missed missed, $stale stale, $broken broken"
[ $((missed + stale + broken)) -eq 0 ] && [ "$caught" -gt 0 ]
