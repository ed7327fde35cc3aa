#!/usr/bin/env bash
# CI, as root on a fresh Debian 12 after ./test.sh: builds the Debian package,
# checks it with lintian and the desktop-file validators, installs it with
# apt-get, starts the installed program under Xvfb until it shows a window,
# removes the package and checks that nothing of it is left.
set -euo pipefail
cd "$(dirname "$0")/../.."
[ "$(id -u)" -eq 0 ] || { echo "package-check.sh installs a package: run it as root" >&2; exit 2; }
tools/install-packages.sh test package

tools/package.sh
debs=(build-package/metamorfine_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one package, found: ${debs[*]}" >&2; exit 1; }
deb=$PWD/${debs[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"
dpkg-deb --field "$deb" Depends
echo "== lintian"
lintian --fail-on error --display-info "$deb"

echo "== the files the package holds"
dpkg-deb -x "$deb" "$work/root"
id=org.metamorfine.Metamorfine
packaging/check-layout.sh "$work/root/usr"
packaging/validate.sh desktop "$work/root/usr/share/applications/$id.desktop"
packaging/validate.sh metainfo "$work/root/usr/share/metainfo/$id.metainfo.xml"
packaging/validate.sh manpage "$work/root/usr/share/man/man6/metamorfine.6.gz"

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb"
# Manual pages and documentation may be left out by the system's dpkg
# settings (as in containers); the program and its data never are.
[ -x /usr/bin/metamorfine ] || { echo "no /usr/bin/metamorfine" >&2; exit 1; }
[ "$(find /usr/share/metamorfine -name '*.gif' | wc -l)" -eq 40 ] \
  && [ "$(find /usr/share/metamorfine -name '*.wav' | wc -l)" -eq 5 ] \
  && [ "$(find /usr/share/metamorfine -name '*.lng' | wc -l)" -eq 5 ] \
  || { echo "the data in /usr/share/metamorfine is incomplete" >&2; exit 1; }

echo "== start under Xvfb"
# The program runs until it is ended: wait for its first visible window.
cat >"$work/start.sh" <<'SCRIPT'
cd "$1"
metamorfine & program=$!
for _ in $(seq 100); do
  if xdotool search --onlyvisible --pid "$program" >/dev/null 2>&1; then
    echo "metamorfine shows a window"; kill "$program"; exit 0
  fi
  kill -0 "$program" 2>/dev/null || { echo "metamorfine ended before showing a window" >&2; exit 1; }
  sleep 0.2
done
echo "metamorfine showed no window within 20 s" >&2
kill "$program"; exit 1
SCRIPT
timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/start.sh" "$work"

echo "== remove"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq metamorfine
left=""
while read -r path; do
  if [ -e "/$path" ] && [ ! -d "/$path" ]; then left+=" /$path"; fi
done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./||')
for dir in /usr/share/metamorfine /usr/share/doc/metamorfine; do
  if [ -e "$dir" ]; then left+=" $dir"; fi
done
left+=$(find /usr -name LangSetting.ini -printf ' %p')
[ -z "$left" ] || { echo "left after removal:$left" >&2; exit 1; }
echo "package check passed"
