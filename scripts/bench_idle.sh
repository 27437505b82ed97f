#!/usr/bin/env bash
# Benchmark of what Halcyra costs while it waits, against a bare Win32 program with a hidden
# window and a one-second timer (bench/bare_idle_win.cpp), under the same Wine, alternately, in
# one prefix (build/bench-idle): processor time over SECONDS of idling (default 60) with 0, 200
# and 1,500 timers, private (anonymous) and resident memory, and the time from the start to the
# main window's existence. Then the companion service with 200 timers against a bare service
# that only waits for its stop request (bench/bare_service_win.cpp): processor time over the
# same span. ROUNDS (default 3) runs of each; prints the medians, the ratios to the bare
# program, and the two figures side by side. It asserts nothing. SERVICE=path measures another
# build of the service (the end-to-end build by default, which journals its power calls).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"
IDLE=${1:-60}
ROUNDS=${2:-3}

ensure_packages
build_preset windows -j2 --target Halcyra-e2e ShutdownService-e2e bench_bare_idle \
  bench_bare_service bench_window_wait >/dev/null
SERVICE=${SERVICE:-build/windows/ShutdownService-e2e.exe}
bench_wine bench-idle
TICKS=$(getconf CLK_TCK)

settings() {  # the settings file with N timers, none of them due while measured
  printf '[general]\r\nFirstStartDone=True\r\n[Timer]\r\n' >"$DATA/Halcyra.ini"
  for ((i = 0; i < $1; i++)); do
    printf 'timer %d=enabled,Shutdown,03:%02d,Weekday\r\n' "$i" $((i % 60)) >>"$DATA/Halcyra.ini"
  done
}

# One run: start, time to the window, then processor time over the idle span and memory.
# Prints "start_ms cpu_ms private_kb rss_kb".
run() {
  local exe=$1 class=$2
  local t0 t1 pid waiter seen=$STATE/window-seen
  # The watcher runs before the program starts and notes the moment the window exists.
  wine build/windows/bench_window_wait.exe "$class" >"$seen" 2>/dev/null &
  waiter=$!
  sleep 2
  t0=$(date +%s%N)
  wine "$exe" >/dev/null 2>&1 &
  pid=$!
  wait "$waiter"
  t1=$(tr -d '\r' <"$seen")
  # The start's own work (filling a list of 1,500 timers takes a few seconds under Wine) is
  # over before the idle span begins.
  sleep 8
  local before after
  before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep "$IDLE"
  after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  local private rss
  # Private memory as Windows counts its private bytes: what only this process can hold, not
  # pages of files it maps (its image, libraries, fonts), which the system shares and can drop.
  private=$(awk '/^RssAnon:/ {print $2}' "/proc/$pid/status")
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo "$(((t1 - t0) / 1000000)) $(((after - before) * 1000 / TICKS)) $private $rss"
  [ -n "${BENCH_RAW:-}" ] && echo "raw $exe $(((t1 - t0) / 1000000))" >&2
}

# Processor time of a running service's process over the idle span, after its start's own
# work. Prints "cpu_ms".
service_cpu() {
  local pattern=$1 pid before after
  sleep 8
  pid=$(pgrep -n -f "$pattern")
  before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep "$IDLE"
  after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  echo $(((after - before) * 1000 / TICKS))
}

# The service must sit where only administrators can change it, as the package puts it.
INSTALLED="$WINEPREFIX/drive_c/Program Files/Halcyra-bench"
mkdir -p "$INSTALLED"
cp "$SERVICE" "$INSTALLED/ShutdownService-bench.exe"
BARE_SERVICE=$(winepath -w build/windows/bench_bare_service.exe 2>/dev/null)
wine sc create BareService binpath= "$BARE_SERVICE" >/dev/null 2>&1

declare -A RESULTS
for ((round = 1; round <= ROUNDS; round++)); do
  RESULTS[bare]+="$(run build/windows/bench_bare_idle.exe BareIdle);"
  for timers in 0 200 1500; do
    settings "$timers"
    RESULTS[h$timers]+="$(run build/windows/Halcyra-e2e.exe TFrmMain);"
  done
done
# The services after all the programs: installing and removing one keeps Wine's service manager
# busy for a while, which doubled the start time of the program measured next.
for ((round = 1; round <= ROUNDS; round++)); do
  wine sc start BareService >/dev/null 2>&1
  RESULTS[bare_service]+="$(service_cpu 'bench_bare_service\.exe');"
  wine sc stop BareService >/dev/null 2>&1
  settings 200
  wine "$INSTALLED/ShutdownService-bench.exe" /INSTALL /SILENT >/dev/null 2>&1
  RESULTS[service]+="$(service_cpu 'ShutdownService-bench\.exe');"
  wine "$INSTALLED/ShutdownService-bench.exe" /UNINSTALL /SILENT >/dev/null 2>&1
done
wine sc delete BareService >/dev/null 2>&1

median() { tr ';' '\n' | awk -v col="$1" 'NF {print $col}' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
printf '%-22s %12s %12s %14s %12s\n' "program" "start ms" "cpu ms/${IDLE}s" "private MB" "resident MB"
declare -A MED
for name in bare h0 h200 h1500; do
  for col in 1 2 3 4; do MED[$name,$col]=$(median "$col" <<<"${RESULTS[$name]}"); done
  label=$name
  [ "$name" != bare ] && label="Halcyra, ${name#h} timers"
  printf '%-22s %12s %12s %14.1f %12.1f\n' "$label" "${MED[$name,1]}" "${MED[$name,2]}" \
    "$(echo "${MED[$name,3]} / 1024" | bc -l)" "$(echo "${MED[$name,4]} / 1024" | bc -l)"
done
echo "ratios to the bare program (medians of $ROUNDS rounds):"
for name in h0 h200 h1500; do
  printf '  %-20s start %.2fx, cpu %+d ms, private %.2fx, resident %.2fx\n' "${name#h} timers" \
    "$(echo "${MED[$name,1]} / ${MED[bare,1]}" | bc -l)" "$((MED[$name,2] - MED[bare,2]))" \
    "$(echo "${MED[$name,3]} / ${MED[bare,3]}" | bc -l)" "$(echo "${MED[$name,4]} / ${MED[bare,4]}" | bc -l)"
done
for name in bare_service service; do MED[$name]=$(median 1 <<<"${RESULTS[$name]}"); done
echo "side by side (medians of $ROUNDS rounds; one /proc tick is $((1000 / TICKS)) ms):"
printf '  %-44s %6s ms, bare service %6s ms\n' "service, 200 timers: cpu over ${IDLE} s" \
  "${MED[service]}" "${MED[bare_service]}"
printf '  %-44s %6.1f MB, bare program %6.1f MB (%.2fx)\n' "tray program, 200 timers: private memory" \
  "$(echo "${MED[h200,3]} / 1024" | bc -l)" "$(echo "${MED[bare,3]} / 1024" | bc -l)" \
  "$(echo "${MED[h200,3]} / ${MED[bare,3]}" | bc -l)"
[ -f build/windows/Halcyra.exe ] &&
  ls -l build/windows/Halcyra.exe | awk '{printf "Halcyra.exe: %.0f KB\n", $5 / 1024}'
