#!/usr/bin/env bash
# Takes the picture of every window that the README and the help show: builds the Windows
# programs, runs the screenshot tour at 96 and at 144 DPI in a Wine prefix and on a display of
# its own (with a sound device, so that the Sound page is not greyed out), and writes the PNG
# files into docs/screenshots (or the folder given), replacing the ones there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"
OUT=$(realpath -m "${1:-$ROOT/docs/screenshots}")

ensure_packages
ensure_locales
build_preset windows -j2 --target screenshot_tour Halcyra-e2e HalcyraCmd-e2e >/dev/null

wine_env "$ROOT/build/shots/wineprefix" "$ROOT/build/shots/home"
start_xvfb
trap 'wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; kill "$XVFB_PID" 2>/dev/null' EXIT
setup_prefix
wineserver -p >/dev/null 2>&1
# Wine's ALSA driver on a null device: a mixer for the Sound page, and no noise.
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
mkdir -p "$(data_folder)" "$WINEPREFIX/drive_c/windows/Media"
# The data set's alarm: a second of silence as a WAV file.
python3 - "$WINEPREFIX/drive_c/windows/Media/Alarm01.wav" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as f:
    f.setnchannels(1); f.setsampwidth(2); f.setframerate(22050)
    f.writeframes(b"\0\0" * 22050)
PY

SHOTS=$ROOT/build/shots/bmp
rm -rf "$SHOTS"
mkdir -p "$SHOTS" "$OUT"
for dpi in 96 144; do
  # Wine reads the DPI once, when a program starts.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  log "taking the pictures at $dpi DPI"
  HALCYRA_SCREENSHOTS=$(winepath -w "$SHOTS") wine build/windows/tests/screenshot_tour.exe
done
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
# The main window and the countdown in two of the other languages, as Wine takes them from LANG.
for locale in de_DE ja_JP; do
  log "taking the pictures in $locale"
  LANG=$locale.UTF-8 HALCYRA_SCREENSHOTS=$(winepath -w "$SHOTS") wine build/windows/tests/screenshot_tour.exe \
    --gtest_filter=Tour.TimerPageAndCountdownInTheUsersLanguage
done

# The notification icon's pictures are drawn by hand and stay.
find "$OUT" -maxdepth 1 -name '*.png' ! -name 'tray-icon-*' -delete
for bmp in "$SHOTS"/*.bmp; do
  convert "$bmp" "$OUT/$(basename "${bmp%.bmp}").png"
done
log "$(ls "$OUT"/*.png | wc -l) pictures in $OUT"
