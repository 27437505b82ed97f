#!/usr/bin/env bash
# Checks the compiled help file: every page of the contents and of the index is in it, and so
# is the default topic that the program's Help opens.
set -uo pipefail
chm=$1
hhc=$(dirname "$0")/../help/help.hhc
hhk=$(dirname "$0")/../help/help.hhk
listed=$(chmls list "$chm" 2>/dev/null | awk '{print $4}')
missing=0
for page in index.html $(grep -ho 'name="Local" value="[^"]*"' "$hhc" "$hhk" | sed 's/.*value="//; s/"$//' | sort -u); do
  if ! grep -qx "/$page" <<<"$listed"; then
    echo "missing from help.chm: $page"
    missing=1
  fi
done
for picture in $(grep -ho 'src="[^"]*"' "$(dirname "$0")"/../help/*.html | sed 's/src="//; s/"$//' | sort -u); do
  grep -qx "/$picture" <<<"$listed" || { echo "picture missing from help.chm: $picture"; missing=1; }
done
exit $missing
