#!/usr/bin/env bash
# Checks one desktop-integration file with the validator made for it:
#   validate.sh desktop|metainfo|manpage <file>
# Fails on errors and warnings, and also on AppStream's "info" notes and on
# any diagnostic of the manual page's formatter. Exits with 77 (reported as
# skipped by CTest) when the validator is not installed.
set -uo pipefail
kind=$1 file=$2
case $kind in
  desktop) tool=desktop-file-validate ;;
  metainfo) tool=appstreamcli ;;
  manpage) tool=man ;;
  *) echo "validate.sh: unknown kind '$kind'" >&2; exit 2 ;;
esac
if ! command -v "$tool" >/dev/null; then
  echo "$tool is not installed: $kind check skipped"
  exit 77
fi

report=""
case $kind in
  desktop)
    # A hint only proposes more categories; the menu entry stays valid.
    report=$(desktop-file-validate "$file" 2>&1) || { echo "$report"; exit 1; }
    problems=$(grep -v ': hint: ' <<<"$report") ;;
  metainfo)
    report=$(appstreamcli validate --no-net --explain "$file" 2>&1) || { echo "$report"; exit 1; }
    problems=$(grep -E '^[EWI]: ' <<<"$report")
    # Beside the sources, each screenshot is in screenshots/ at the size the metainfo gives.
    shots=$(dirname "$file")/screenshots
    if [ -d "$shots" ]; then
      while read -r width height name; do
        [ "$(identify -format '%w %h' "$shots/$name" 2>/dev/null)" = "$width $height" ] ||
          problems+=$'\n'"screenshot $name: not in $shots at ${width}x$height"
      done < <(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/\([^/]*\)</image>.*|\1 \2 \3|p' "$file")
    fi ;;
  manpage)
    problems=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null) ;;
esac
if [ -n "$problems" ]; then
  echo "${report:-$problems}"
  grep '^screenshot ' <<<"$problems" || true
  exit 1
fi
echo "$file: valid"
