#!/usr/bin/env bash
# Installs the Debian packages that are missing for building and running, and
# for each further purpose named: install-packages.sh [test] [package]
# The lists are tools/packages/<purpose>.txt.
set -euo pipefail
cd "$(dirname "$0")/packages"

wanted=()
for purpose in run "$@"; do
  [ -f "$purpose.txt" ] || { echo "install-packages.sh: no list for '$purpose'" >&2; exit 2; }
  mapfile -t -O "${#wanted[@]}" wanted < <(grep -v -E '^\s*(#|$)' "$purpose.txt")
done
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "Metamorfine needs Debian packages that are not installed, and installing them needs root." >&2
      echo "Ask whoever runs this machine to run, as root:" >&2
      echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
      exit 1
    fi
    sudo="sudo"
  fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
