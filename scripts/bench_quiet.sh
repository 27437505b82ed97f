#!/usr/bin/env bash
# Benchmark of what a pending "when the computer is quiet" request costs: the end-to-end build
# idles for SECONDS (default 60) without a request, then for as long with a request of
# `/after-quiet 10080` pending (read on every tick: processor times and the interface table),
# in one process and one prefix (build/bench-quiet), ROUNDS times (default 3). Prints the
# medians of processor time and private memory for each. It asserts nothing.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"
IDLE=${1:-60}
ROUNDS=${2:-3}

ensure_packages
build_preset windows -j2 --target Halcyra-e2e HalcyraCmd-e2e >/dev/null
bench_wine bench-quiet
TICKS=$(getconf CLK_TCK)
printf '[general]\r\nFirstStartDone=True\r\n' >"$DATA/Halcyra.ini"

cpu_ms() { awk -v t="$TICKS" '{print ($14 + $15) * 1000 / t}' "/proc/$1/stat"; }
private_kb() { awk '/^RssAnon:/ {print $2}' "/proc/$1/status"; }

# One round: "none_cpu_ms none_private_kb pending_cpu_ms pending_private_kb".
run() {
  wine build/windows/Halcyra-e2e.exe >/dev/null 2>&1 &
  local pid=$! before none_cpu none_private
  sleep 8
  before=$(cpu_ms "$pid")
  sleep "$IDLE"
  none_cpu=$(($(cpu_ms "$pid") - before))
  none_private=$(private_kb "$pid")
  wine build/windows/HalcyraCmd-e2e.exe /do Suspend /after-quiet 10080 >/dev/null 2>&1
  sleep 2
  before=$(cpu_ms "$pid")
  sleep "$IDLE"
  echo "$none_cpu $none_private $(($(cpu_ms "$pid") - before)) $(private_kb "$pid")"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

RESULTS=""
for ((round = 1; round <= ROUNDS; round++)); do RESULTS+="$(run);"; done
median() { tr ';' '\n' | awk -v col="$1" 'NF {print $col}' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
printf '%-34s %14s %12s\n' "Halcyra-e2e, idle" "cpu ms/${IDLE}s" "private MB"
printf '%-34s %14s %12.1f\n' "no request" "$(median 1 <<<"$RESULTS")" \
  "$(echo "$(median 2 <<<"$RESULTS") / 1024" | bc -l)"
printf '%-34s %14s %12.1f\n' "an /after-quiet request pending" "$(median 3 <<<"$RESULTS")" \
  "$(echo "$(median 4 <<<"$RESULTS") / 1024" | bc -l)"
echo "(medians of $ROUNDS rounds; one /proc tick is $((1000 / TICKS)) ms)"
