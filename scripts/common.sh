# Shared by the README's two commands: packages, builds, a Wine prefix and a display of our own.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

PACKAGES=(cmake ninja-build g++ libgtest-dev libssl-dev g++-mingw-w64-x86-64-posix wixl msitools fp-utils
  mingw-w64-tools wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick procps tzdata
  clang-format python3 python3-yaml clang libclang-rt-14-dev bc git openssl osslsigncode locales
  fonts-ipafont-gothic)

log() { printf '==> %s\n' "$*" >&2; }

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    log "installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# The languages the end-to-end tests start the program in: Wine takes the user's language from
# LANG only where the C library knows that locale.
ensure_locales() {
  local locale
  for locale in de_DE ja_JP; do
    locale -a 2>/dev/null | grep -qix "$locale.utf8" || localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
  done
}

build_preset() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" "$@"
}

# Wine's environment for a prefix of our own; HOME and XDG_DATA_HOME too, because Wine's
# recycle bin is $XDG_DATA_HOME/Trash and its audio driver writes under $HOME.
wine_env() {
  local prefix=$1 home=$2
  mkdir -p "$home/.local/share"
  export WINEPREFIX=$prefix HOME=$home XDG_DATA_HOME=$home/.local/share
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
}

# Creates the prefix once: fonts, no crash dialog, no audio driver, a .txt association, and
# the virtual desktop (window frames, quick hiding, hotkeys that reach their window).
setup_prefix() {
  local marker=$WINEPREFIX/.halcyra-ready
  [ -f "$marker" ] && return 0
  log "creating the Wine prefix $WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1
  wineserver -w
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  local reg=$WINEPREFIX/halcyra-setup.reg
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"=""

[HKEY_CLASSES_ROOT\.txt]
@="txtfile"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
  wine regedit /S "$reg" >/dev/null 2>&1
  wineserver -w
  touch "$marker"
}

# Starts Xvfb on the first free display number; sets DISPLAY and XVFB_PID.
start_xvfb() {
  local n
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    XVFB_PID=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  log "no free X display"
  return 1
}

# The prefix's shared data folder, where the installer puts the settings file.
data_folder() { echo "$WINEPREFIX/drive_c/ProgramData/Halcyra"; }

# A benchmark's own Wine prefix, HOME and display under build/NAME, with the prefix's data folder
# in DATA; the server and the display end with the script.
bench_wine() {
  STATE=$ROOT/build/$1
  mkdir -p "$STATE"
  wine_env "$STATE/wineprefix" "$STATE/home"
  start_xvfb || exit 1
  trap 'wineserver -k 2>/dev/null; kill "$XVFB_PID" 2>/dev/null' EXIT
  setup_prefix
  wineserver -p >/dev/null 2>&1
  DATA=$(data_folder)
  mkdir -p "$DATA"
}
