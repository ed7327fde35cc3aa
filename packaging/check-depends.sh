#!/usr/bin/env bash
# check-depends.sh <package.deb>: what the package's dependencies bring to an
# empty Debian system (apt-get's simulation against an empty list of installed
# packages, recommendations left out), counted; fails when a media framework
# (Qt Multimedia, FFmpeg, GStreamer) is among them, directly or through another
# package: the five sounds play through ALSA, which every desktop has.
set -euo pipefail
deb=$1
empty=$(mktemp)
trap 'rm -f "$empty"' EXIT
# The first of each set of alternatives, without its version.
mapfile -t wanted < <(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/|.*//; s/(.*)//; s/[[:space:]]//g' | grep .)
closure=$(apt-get --simulate -o Dir::State::status="$empty" -o APT::Install-Recommends=false \
  install "${wanted[@]}" 2>&1) || { echo "apt-get cannot resolve the dependencies:" >&2; echo "$closure" >&2; exit 1; }
closure=$(awk '/^Inst /{print $2}' <<<"$closure")
count=$(grep -c . <<<"$closure" || true)
# An answer without the program's own Qt is no answer: the simulation went wrong.
grep -qx 'libqt6widgets6' <<<"$closure" || { echo "the simulation lists no libqt6widgets6" >&2; exit 1; }
echo "the dependencies bring $count packages to an empty system"
heavy=$(grep -E '^(libqt6multimedia|libavcodec|libavformat|libavutil|libswresample|libswscale|libgstreamer)' <<<"$closure" | tr '\n' ' ' || true)
[ -z "$heavy" ] || { echo "a media framework is among the package's dependencies again: $heavy" >&2; exit 1; }
