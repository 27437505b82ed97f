#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively (plain and with ASan+UBSan),
# the same unit tests cross-built under Wine, the Win32 tests and the end-to-end tests under
# Wine + Xvfb. Ends with "N passed, N failed"; exits non-zero on any failure or crash.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"

ensure_packages

PASSED=0
FAILED=0
LOGS=$ROOT/build/test-logs
mkdir -p "$LOGS"

# Runs one GoogleTest program and adds its counts; a crash or hang counts as one failure.
run_gtest() {
  local name=$1 limit=$2
  shift 2
  log "running $name"
  local out=$LOGS/$name.log
  timeout --kill-after=10 "$limit" "$@" >"$out" 2>&1
  local code=$?
  local passed failed
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$out" | tail -1)
  failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$out" | tail -1)
  passed=${passed:-0}
  failed=${failed:-0}
  if [ "$code" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1
    log "$name ended with code $code without a result (crash or time-out); see $out"
    tail -20 "$out" >&2
  fi
  grep -E '^\[  FAILED  \] [A-Za-z]' "$out" | sort -u >&2 || true
  printf '%-28s %4d passed, %d failed\n' "$name" "$passed" "$failed"
  PASSED=$((PASSED + passed))
  FAILED=$((FAILED + failed))
}

build_fail() {
  log "build failed: $1"
  echo "$PASSED passed, $((FAILED + 1)) failed"
  exit 1
}

build_preset native -j2 >"$LOGS/build-native.log" 2>&1 || { tail -30 "$LOGS/build-native.log"; build_fail native; }
run_gtest unit-native 120 build/native/tests/unit_tests

build_preset native-asan -j2 >"$LOGS/build-asan.log" 2>&1 || { tail -30 "$LOGS/build-asan.log"; build_fail native-asan; }
run_gtest unit-native-asan 300 build/native-asan/tests/unit_tests

build_preset windows -j2 >"$LOGS/build-windows.log" 2>&1 || { tail -30 "$LOGS/build-windows.log"; build_fail windows; }

# Wine: a prefix inside the build tree, a HOME of its own, a display of its own, and a time
# zone with daylight-saving time, which the wake-up timers must convert across.
wine_env "$ROOT/build/windows/wineprefix" "$ROOT/build/windows/test-home"
export TZ=Europe/Berlin
start_xvfb || build_fail "Xvfb"
cleanup() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
}
trap cleanup EXIT
setup_prefix
# One persistent server for the whole run: each program then starts in milliseconds.
wineserver -p >/dev/null 2>&1
mkdir -p "$(data_folder)"

TESTS=build/windows/tests
run_gtest unit-wine 300 wine "$TESTS/unit_tests.exe"
# Without an audio driver the prefix has no mixer device; the tests named "WithDevice" run in
# a second pass below, with one.
run_gtest win32-wine 300 wine "$TESTS/win32_tests.exe" '--gtest_filter=-*WithDevice*'

# The end-to-end tests also save a picture of each window they show.
SHOTS=$ROOT/build/screenshots
rm -rf "$SHOTS"
mkdir -p "$SHOTS"
HALCYRA_SCREENSHOTS=$(winepath -w "$SHOTS" 2>/dev/null) run_gtest e2e-wine 900 wine "$TESTS/e2e_tests.exe" '--gtest_filter=-*WithDevice*'
for bmp in "$SHOTS"/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done

# An audio device for Wine: its ALSA driver on a null device of the run's own HOME.
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
run_gtest win32-wine-audio 300 wine "$TESTS/win32_tests.exe" '--gtest_filter=*WithDevice*'
run_gtest e2e-wine-audio 300 wine "$TESTS/e2e_tests.exe" '--gtest_filter=*WithDevice*'
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d "" /f >/dev/null 2>&1
rm -f "$HOME/.asoundrc"

echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
