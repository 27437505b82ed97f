#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively (plain and with ASan+UBSan),
# the same unit tests cross-built under Wine, the Win32 tests and the end-to-end tests under
# Wine + Xvfb. Ends with "N passed, N failed"; exits non-zero on any failure or crash.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"

ensure_packages
ensure_locales

PASSED=0
FAILED=0
LOGS=$ROOT/build/test-logs
mkdir -p "$LOGS"

RETRIED=0

# The tests a GoogleTest program would run with these arguments, from its own listing.
listed_tests() {
  timeout 60 "$@" --gtest_list_tests 2>/dev/null | tr -d '\r' | grep -c '^  [^ ]'
}

# Runs one GoogleTest program and adds its counts. A crash, a hang, a missing summary or fewer
# tests run than it lists count as failures.
run_gtest() {
  local name=$1 limit=$2
  shift 2
  local started=$SECONDS note=""
  log "running $name"
  local out=$LOGS/$name.log
  timeout --kill-after=10 "$limit" "$@" >"$out" 2>&1
  local code=$?
  # One cause alone gets a second start: Wine, right after the previous suite, once gave up on
  # a program at once, before it printed a line, with a plain failure code. A time-out (124,
  # 137) or the tests' crash code (3) never does. The second start has Wine's loader and
  # exception messages on, and the first log stays beside it.
  if [ "$code" -ne 0 ] && [ ! -s "$out" ] && [ "$code" -ne 124 ] && [ "$code" -ne 137 ] &&
    [ "$code" -ne 3 ]; then
    mv "$out" "$LOGS/$name.first.log"
    log "$name printed nothing and ended with code $code: starting it once more"
    note="  (retried after code $code)"
    WINEDEBUG=+loaddll,+seh timeout --kill-after=10 "$limit" "$@" >"$out" 2>&1
    code=$?
    RETRIED=$((RETRIED + 1))
  fi
  local passed failed expected
  # Summed over the summaries: a suite run with --gtest_repeat prints one per round.
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$out" | awk '{s += $1} END {print s + 0}')
  failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$out" | awk '{s += $1} END {print s + 0}')
  passed=${passed:-0}
  failed=${failed:-0}
  expected=$(listed_tests "$@")
  if [ "$code" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1
    log "$name ended with code $code without a result (crash or time-out); see $out"
    tail -20 "$out" >&2
  elif ! grep -q '^\[==========\] [0-9]* tests\? from .* ran\.' "$out"; then
    failed=$((expected > passed + 1 ? expected - passed : 1))
    log "$name ended with code $code without its summary; see $out"
    tail -20 "$out" >&2
  elif [ $((passed + failed)) -lt "$expected" ]; then
    log "$name lists $expected tests and reported $((passed + failed)); see $out"
    failed=$((expected - passed))
  fi
  grep -E '^\[  FAILED  \] [A-Za-z]' "$out" | sort -u >&2 || true
  printf '%-28s %4d passed, %d failed  (%d s)%s\n' "$name" "$passed" "$failed" \
    $((SECONDS - started)) "$note"
  PASSED=$((PASSED + passed))
  FAILED=$((FAILED + failed))
}

build_fail() {
  log "build failed: $1"
  echo "$PASSED passed, $((FAILED + 1)) failed"
  exit 1
}

# The house rules that need no build: formatting and the floors of src/.
check_step() {
  local name=$1 started=$SECONDS
  shift
  if "$@" >"$LOGS/$name.log" 2>&1; then
    PASSED=$((PASSED + 1))
    printf '%-28s    1 passed, 0 failed  (%d s)\n' "$name" $((SECONDS - started))
  else
    FAILED=$((FAILED + 1))
    tail -20 "$LOGS/$name.log" >&2
    printf '%-28s    0 passed, 1 failed  (%d s)\n' "$name" $((SECONDS - started))
  fi
}
check_step format bash -c 'find src tests fuzz bench -name "*.cpp" -o -name "*.h" | xargs clang-format --dry-run --Werror'
check_step layers python3 scripts/check_layers.py
check_step wide-api python3 scripts/check_wide_api.py
check_step help-texts python3 scripts/check_help_texts.py
check_step policy-templates python3 scripts/check_policy_templates.py
check_step mutant-listings scripts/mutants.sh --check

timed_build() {
  local preset=$1 started=$SECONDS
  build_preset "$preset" -j2 >"$LOGS/build-$preset.log" 2>&1 || return 1
  log "built $preset in $((SECONDS - started)) s"
}

timed_build native || { tail -30 "$LOGS/build-native.log"; build_fail native; }
run_gtest unit-native 120 build/native/tests/unit_tests

timed_build native-asan || { tail -30 "$LOGS/build-native-asan.log"; build_fail native-asan; }
run_gtest unit-native-asan 300 build/native-asan/tests/unit_tests

# Every fuzz target for a short, bounded smoke on its corpus (scripts/fuzz.sh SECONDS for more).
check_step fuzz-smoke scripts/fuzz.sh 10

# The Windows build is signed, as a release is, with a throwaway authority of its own.
SIGNING=$ROOT/build/windows/test-signing
scripts/check_signing.sh certificate "$SIGNING" || build_fail "test certificate"
SIGN_PFX=$SIGNING/signing.pfx SIGN_PASSWORD=$(cat "$SIGNING/password.txt") \
  timed_build windows || { tail -30 "$LOGS/build-windows.log"; build_fail windows; }
check_step help-file scripts/check_help.sh build/windows/help.chm
VERSION=$(sed -n 's/^project(Halcyra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
PACKAGE=build/windows/Halcyra-$VERSION-x64.msi
check_step package-tables python3 scripts/check_msi.py "$PACKAGE" "$VERSION"
check_step package-signatures scripts/check_signing.sh verify "$SIGNING" build/windows "$PACKAGE"
check_step winget-manifests python3 scripts/check_winget.py build/windows/winget "$PACKAGE" "$VERSION"
# Two more builds of the shipped files (of the commit, not of uncommitted changes).
check_step reproducible scripts/repro.sh

# Wine: a prefix inside the build tree, a HOME of its own, a display of its own, and a time
# zone with daylight-saving time, which the wake-up timers must convert across.
wine_env "$ROOT/build/windows/wineprefix" "$ROOT/build/windows/test-home"
export TZ=Europe/Berlin
start_xvfb || build_fail "Xvfb"
cleanup() {
  # The audio pass changes the prefix: whatever ends the run, the next run starts without it.
  [ -n "${AUDIO_ON:-}" ] && restore_no_audio
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
}
trap cleanup EXIT
setup_prefix
# One persistent server for the whole run: each program then starts in milliseconds.
wineserver -p >/dev/null 2>&1
# A companion service left registered by an interrupted run would start with the prefix and
# act beside the tests: it goes first.
wine sc stop Halcyra_Service >/dev/null 2>&1
wine sc delete Halcyra_Service >/dev/null 2>&1
# The DPI test sets the screen's DPI for the programs it starts and puts it back; a run that
# was killed in the middle leaves it set, and every later window would be laid out for it.
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
mkdir -p "$(data_folder)"

TESTS=build/windows/tests
run_gtest unit-wine 300 wine "$TESTS/unit_tests.exe"
# Without an audio driver the prefix has no mixer device; the tests named "WithDevice" run in
# a second pass below, with one.
run_gtest win32-wine 300 wine "$TESTS/win32_tests.exe" '--gtest_filter=-*WithDevice*'

run_gtest e2e-wine 900 wine "$TESTS/e2e_tests.exe" '--gtest_filter=-*WithDevice*'
# The program in German and in Japanese: Wine takes the language from LANG as a process starts.
for locale in de_DE ja_JP; do
  LANG=$locale.UTF-8 run_gtest "e2e-wine-$locale" 120 wine "$TESTS/e2e_tests.exe" \
    '--gtest_filter=LanguageE2E.*'
done

# An audio device for Wine: its ALSA driver on a null device of the run's own HOME.
restore_no_audio() {
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d "" /f >/dev/null 2>&1
  rm -f "$HOME/.asoundrc"
  AUDIO_ON=
}
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
AUDIO_ON=1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
run_gtest win32-wine-audio 300 wine "$TESTS/win32_tests.exe" '--gtest_filter=*WithDevice*'
run_gtest e2e-wine-audio 300 wine "$TESTS/e2e_tests.exe" '--gtest_filter=*WithDevice*'
restore_no_audio

# A short soak: a minute of use, with the program's handles, GUI objects and memory sampled.
soak_started=$SECONDS
if timeout 300 wine "$TESTS/soak_test.exe" 1 >"$LOGS/soak.log" 2>&1; then
  PASSED=$((PASSED + 1))
  printf '%-28s    1 passed, 0 failed  (%d s)\n' soak $((SECONDS - soak_started))
else
  FAILED=$((FAILED + 1))
  tail -12 "$LOGS/soak.log" >&2
  printf '%-28s    0 passed, 1 failed\n' soak
fi

# The package: installed, removed, reinstalled and upgraded by Wine's msiexec in a prefix of its
# own, so that the other tests' prefix never holds an installed Halcyra.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
TEST_PREFIX=$WINEPREFIX
wine_env "$ROOT/build/windows/package-prefix" "$ROOT/build/windows/package-home"
setup_prefix
wineserver -p >/dev/null 2>&1
run_gtest package-wine 600 wine "$TESTS/package_tests.exe"
# An upgrade that fails now and then is a defect: five in a row, each from a clean machine.
run_gtest package-upgrade-5x 300 wine "$TESTS/package_tests.exe" \
  --gtest_filter=PackageTest.AnUpgradeKeepsTheSettings --gtest_repeat=5
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
wine_env "$TEST_PREFIX" "$ROOT/build/windows/test-home"

[ "$RETRIED" -gt 0 ] && echo "$RETRIED retried: a suite that printed nothing was started again"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
