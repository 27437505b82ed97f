#!/usr/bin/env bash
# Benchmark: processor time that Halcyra uses under Wine over 20 s of a countdown, next to
# the same program sitting idle for 20 s. Prints the two figures; it asserts nothing.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"

ensure_packages
build_preset windows -j2 --target Halcyra-e2e >/dev/null

bench_wine bench
SECONDS_MEASURED=20
TICKS=$(getconf CLK_TCK)

# The processor time (user + system, in clock ticks) of a process.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

measure() {
  local settings=$1
  printf '%b' "$settings" >"$(data_folder)/Halcyra.ini"
  # Wine's loader execs into the program: the process started here is the one measured, and
  # the only one ended.
  wine build/windows/Halcyra-e2e.exe >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    grep -q 'Halcyra-e2e' "/proc/$pid/cmdline" 2>/dev/null && break
    sleep 0.1
  done
  sleep 2
  local before after
  before=$(cpu_ticks "$pid")
  sleep "$SECONDS_MEASURED"
  after=$(cpu_ticks "$pid")
  kill "$pid" 2>/dev/null || true
  wait 2>/dev/null || true
  awk -v t=$((after - before)) -v hz="$TICKS" -v s="$SECONDS_MEASURED" \
    'BEGIN { printf "%.2f s of processor time in %d s (%.1f %% of one core)", t / hz, s, 100 * t / hz / s }'
}

# Early in a minute, so that the countdown starts at once and runs for the whole measurement.
while [ "$(date +%-S)" -gt 30 ]; do sleep 1; done
now=$(TZ=${TZ:-} date +%H:%M)
countdown=$(measure "[general]\r\nFirstStartDone=True\r\nDuration=30\r\n[Timer]\r\nbench=enabled,Shutdown,$now,Daily\r\n")
idle=$(measure "[general]\r\nFirstStartDone=True\r\n")
echo "countdown window: $countdown"
echo "idle program:     $idle"
