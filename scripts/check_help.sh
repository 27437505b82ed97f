#!/usr/bin/env bash
# Checks the help: every page is in the contents, the index and the project file and has its
# "See also"; every link and picture leads somewhere; and the compiled help.chm holds every
# page and picture. Prints each fault; exits non-zero on any.
set -uo pipefail
chm=$1
help=$(cd "$(dirname "$0")/../help" && pwd)
shots=$(cd "$(dirname "$0")/../docs/screenshots" && pwd)
faults=0
fault() {
  echo "$*"
  faults=1
}

locals() { grep -ho 'name="Local" value="[^"]*"' "$@" | sed 's/.*value="//; s/"$//' | sort -u; }
project_files=$(sed -n '/^\[FILES\]/,$p' "$help/help.hhp" | tail -n +2)
listed=$(chmls list "$chm" 2>/dev/null | awk '{print $4}')

for path in "$help"/*.html; do
  page=$(basename "$path")
  locals "$help/help.hhc" | grep -qx "$page" || fault "$page is not in the contents (help.hhc)"
  locals "$help/help.hhk" | grep -qx "$page" || fault "$page is not in the index (help.hhk)"
  grep -qx "$page" <<<"$project_files" || fault "$page is not in the project file (help.hhp)"
  grep -q '<h2>See also</h2>' "$path" || fault "$page has no \"See also\""
  grep -qx "/$page" <<<"$listed" || fault "$page is not in help.chm"
  for target in $(grep -o 'href="[^"#:]*' "$path" | sed 's/href="//' | sort -u); do
    [ -f "$help/$target" ] || fault "$page links to $target, which does not exist"
  done
done
for page in $(locals "$help/help.hhc" "$help/help.hhk"); do
  [ -f "$help/$page" ] || fault "the contents or the index name $page, which does not exist"
done
for picture in $(grep -ho 'src="[^"]*"' "$help"/*.html | sed 's/src="//; s/"$//' | sort -u); do
  [ -f "$shots/$picture" ] || fault "picture $picture is not in docs/screenshots"
  grep -qx "$picture" <<<"$project_files" || fault "picture $picture is not in help.hhp"
  grep -qx "/$picture" <<<"$listed" || fault "picture $picture is not in help.chm"
done
exit $faults
