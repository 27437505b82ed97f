#!/usr/bin/env bash
# Builds Halcyra.exe and starts it under Wine in a virtual desktop: on the user's display, or
# on an Xvfb of its own when no display is set. "scripts/run.sh stop" ends it again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"

STATE=$ROOT/build/run
wine_env "$STATE/wineprefix" "$STATE/home"

if [ "${1:-}" = "stop" ]; then
  wineserver -k 2>/dev/null || true
  if [ -f "$STATE/xvfb.pid" ]; then
    kill "$(cat "$STATE/xvfb.pid")" 2>/dev/null || true
    rm -f "$STATE/xvfb.pid" "$STATE/display"
  fi
  log "stopped"
  exit 0
fi

ensure_packages
build_preset windows -j2 --target Halcyra

if [ -z "${DISPLAY:-}" ]; then
  if [ -f "$STATE/display" ] && kill -0 "$(cat "$STATE/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
    export DISPLAY=$(cat "$STATE/display")
  else
    start_xvfb
    echo "$XVFB_PID" >"$STATE/xvfb.pid"
    echo "$DISPLAY" >"$STATE/display"
  fi
fi
setup_prefix

# The installer's part: an empty settings file in the shared data folder.
settings=$(data_folder)/Halcyra.ini
first=no
if [ ! -f "$settings" ]; then
  mkdir -p "$(data_folder)"
  : >"$settings"
  first=yes
fi

nohup wine build/windows/Halcyra.exe >"$STATE/halcyra.log" 2>&1 &
if [ "$first" = no ]; then
  # Not a first start, so the program starts hidden: a second start shows its window.
  sleep 2
  wine build/windows/Halcyra.exe >/dev/null 2>&1 || true
fi

cat <<TEXT
Halcyra runs under Wine on display $DISPLAY (prefix $WINEPREFIX).
Settings file: $settings
Look at it:    DISPLAY=$DISPLAY import -window root halcyra.png
Stop it:       scripts/run.sh stop
TEXT
