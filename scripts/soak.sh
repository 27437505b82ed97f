#!/usr/bin/env bash
# The soak test: the end-to-end build under Wine for MINUTES (default 30) with a timer firing
# every minute, hotkeys, the main window and the timer editor in use; prints the handle, GDI,
# USER and memory figures each minute and fails when any keeps growing. Its own prefix
# (build/soak), display and HOME.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"
MINUTES=${1:-30}

ensure_packages
build_preset windows -j2 --target soak_test >"$ROOT/build/soak-build.log" 2>&1 ||
  { tail -30 "$ROOT/build/soak-build.log"; exit 1; }
wine_env "$ROOT/build/soak/wineprefix" "$ROOT/build/soak/home"
export TZ=${TZ:-Europe/Berlin}
start_xvfb || exit 1
trap 'wineserver -k 2>/dev/null; kill "$XVFB_PID" 2>/dev/null' EXIT
setup_prefix
wineserver -p >/dev/null 2>&1
mkdir -p "$(data_folder)"
wine build/windows/tests/soak_test.exe "$MINUTES"
