#!/usr/bin/env bash
# Builds the shipped files of one commit twice, unsigned, from two clones in folders of
# different names, one after the other and in different time zones, and compares them byte for
# byte: the three programs, the setup DLL, the help file and the package.
# Usage: scripts/repro.sh [COMMIT]  (default HEAD; the builds go to REPRO_DIR, default
# build/repro). Lists each file that differs (with the count of differing bytes and the first of
# them) and exits 1 then; ends "identical" otherwise.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

commit=$(git -C "$ROOT" rev-parse --verify "${1:-HEAD}^{commit}")
version=$(git -C "$ROOT" show "$commit:CMakeLists.txt" | sed -n 's/^project(Halcyra VERSION \([0-9.]*\).*/\1/p')
work=${REPRO_DIR:-$ROOT/build/repro}
rm -rf "$work"
mkdir -p "$work"
log "building $commit twice in $work"

build() {
  local folder=$1 zone=$2 started=$SECONDS
  git clone -q --no-checkout "$ROOT" "$folder/src"
  git -C "$folder/src" checkout -q --detach "$commit"
  # Nothing from the caller's environment: no signing, no date of its own.
  env -u SIGN_PFX -u SIGN_PASSWORD -u SIGN_TIMESTAMP_URL -u SOURCE_DATE_EPOCH -u INSTALLER_URL TZ="$zone" \
    cmake -S "$folder/src" -B "$folder/out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHALCYRA_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$folder/src/cmake/mingw-w64.cmake" >"$folder.log" 2>&1
  # Only what ships: the package depends on the programs, the DLL and the help file.
  env -u SIGN_PFX -u SIGN_PASSWORD -u SIGN_TIMESTAMP_URL -u SOURCE_DATE_EPOCH TZ="$zone" \
    cmake --build "$folder/out" -j2 --target package_msi >>"$folder.log" 2>&1 ||
    { tail -20 "$folder.log" >&2; exit 1; }
  log "built $folder in $((SECONDS - started)) s"
}
build "$work/first" UTC
build "$work/second-build-elsewhere" Pacific/Kiritimati

differences=0
for name in Halcyra.exe ShutdownService.exe HalcyraCmd.exe HalcyraSetup.dll help.chm \
  "Halcyra-$version-x64.msi"; do
  a=$work/first/out/$name b=$work/second-build-elsewhere/out/$name
  if cmp -s "$a" "$b"; then
    echo "identical: $name ($(sha256sum <"$a" | cut -c1-16)...)"
  else
    # cmp fails on a difference: under pipefail that would end the script before it says which.
    count=$({ cmp -l "$a" "$b" 2>/dev/null || true; } | wc -l)
    first=$({ cmp "$a" "$b" 2>&1 || true; } | head -1)
    echo "DIFFERS: $name: $count bytes; $first"
    differences=$((differences + 1))
  fi
done
if [ "$differences" -ne 0 ]; then
  echo "$differences files differ (builds kept in $work)"
  exit 1
fi
rm -rf "$work"
echo "identical"
