#!/usr/bin/env bash
# Benchmark of how often the idle tray program wakes: the context switches (voluntary and
# involuntary, of every thread, from /proc/<pid>/task/*/status) of Halcyra with 0, 200 and 1,500
# timers, none of them due, over SECONDS (default 300), side by side with a bare program with a
# one-second timer and with a program that only waits on its message queue (both
# bench/bare_idle_win.cpp), all under the same Wine in one prefix (build/bench-wakeups). Prints
# the switches per minute of each and the ratio to the bare program. It asserts nothing.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"
SPAN=${1:-300}

ensure_packages
build_preset windows -j2 --target Halcyra-e2e bench_bare_idle >/dev/null
bench_wine bench-wakeups

settings() {  # the settings file with N timers at 03:xx on weekdays, none due while measured
  printf '[general]\r\nFirstStartDone=True\r\n[Timer]\r\n' >"$DATA/Halcyra.ini"
  for ((i = 0; i < $1; i++)); do
    printf 'timer %d=enabled,Shutdown,03:%02d,Weekday\r\n' "$i" $((i % 60)) >>"$DATA/Halcyra.ini"
  done
}

switches() {  # every thread's switches so far; a thread that ended meanwhile counts no more
  cat "/proc/$1"/task/*/status 2>/dev/null |
    awk '/^(non)?voluntary_ctxt_switches:/ {sum += $2} END {print sum + 0}'
}

# Starts the programs given as "name|command" together, lets their start's work pass, and
# prints "name switches-per-minute" for each over the span.
measure() {
  local -A pids before
  local entry name
  for entry in "$@"; do
    name=${entry%%|*}
    # shellcheck disable=SC2086  # the command is words
    wine ${entry#*|} >/dev/null 2>&1 &
    pids[$name]=$!
  done
  sleep 10
  for name in "${!pids[@]}"; do before[$name]=$(switches "${pids[$name]}"); done
  sleep "$SPAN"
  for name in "${!pids[@]}"; do
    echo "$name $(echo "($(switches "${pids[$name]}") - ${before[$name]}) * 60 / $SPAN" | bc -l)"
    kill "${pids[$name]}" 2>/dev/null
    wait "${pids[$name]}" 2>/dev/null
  done
}

declare -A PER_MINUTE
# One Halcyra at a time (one instance per session); the yardsticks run beside each, and their
# figures are those of the first span.
settings 0
while read -r name value; do PER_MINUTE[$name]=$value; done < <(measure \
  "floor|build/windows/bench_bare_idle.exe floor" "bare|build/windows/bench_bare_idle.exe" \
  "h0|build/windows/Halcyra-e2e.exe")
for timers in 200 1500; do
  settings "$timers"
  while read -r name value; do PER_MINUTE[$name]=$value; done < <(measure \
    "h$timers|build/windows/Halcyra-e2e.exe")
done

printf '%-30s %14s %12s\n' "program (idle ${SPAN} s)" "switches/min" "x bare"
for name in floor bare h0 h200 h1500; do
  label=$name
  case $name in
    floor) label="floor: waits on its queue" ;;
    bare) label="bare: one-second timer" ;;
    *) label="Halcyra, ${name#h} timers" ;;
  esac
  printf '%-30s %14.1f %12.2f\n' "$label" "${PER_MINUTE[$name]}" \
    "$(echo "${PER_MINUTE[$name]} / ${PER_MINUTE[bare]}" | bc -l)"
done
