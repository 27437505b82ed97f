#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 60) each, on a working copy of its seed corpus in
# fuzz/corpus, and prints how many inputs each ran. Exits non-zero on any finding; the input
# that broke a target is left in build/fuzz/findings.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"
SECONDS_EACH=${1:-60}

ensure_packages
build_preset fuzz -j2 >"$ROOT/build/fuzz-build.log" 2>&1 || { tail -30 "$ROOT/build/fuzz-build.log"; exit 1; }

FINDINGS=$ROOT/build/fuzz/findings
mkdir -p "$FINDINGS"
status=0
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  work=$ROOT/build/fuzz/corpus-work/$name
  mkdir -p "$work"
  cp -n "$corpus"* "$work"/ 2>/dev/null
  log=$ROOT/build/fuzz/$name.log
  # -rss_limit_mb: the targets write a scratch settings file; nothing may grow without bound.
  # -max_len: half a kilobyte holds every structure the parsers know (sections, keys, a dozen
  # timers, each format) and keeps the targets that write and read a file for every input at
  # thousands of inputs a second; the cut limits (2047-character values, 16 KB key lists) and
  # files of megabytes are the unit and fault tests' part.
  build/fuzz/fuzz/fuzz_"$name" "$work" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
    -max_len=512 -rss_limit_mb=2048 -artifact_prefix="$FINDINGS/$name-" >"$log" 2>&1
  code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$code" -ne 0 ]; then
    status=1
    printf '%-18s FINDING after %s runs (see %s)\n' "$name" "${runs:-?}" "$log"
    grep -m3 -E 'ERROR|property broken|SUMMARY' "$log" >&2
  else
    printf '%-18s %12s runs in %s s, no finding\n' "$name" "${runs:-?}" "$SECONDS_EACH"
  fi
done
# Each target's scratch folder ends in its process id: only those of ended processes go, so a
# run beside another (a second checkout's) does not pull a file from under its targets.
for scratch in /tmp/halcyra-fuzz-* /dev/shm/halcyra-fuzz-*; do
  [ -e "$scratch" ] || continue
  kill -0 "${scratch##*-}" 2>/dev/null || rm -rf "$scratch"
done
exit $status
