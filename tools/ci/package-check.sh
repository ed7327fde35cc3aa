#!/usr/bin/env bash
# CI, as root on a fresh Debian 12 after ./test.sh: builds the Debian package,
# checks it with lintian and the desktop-file validators, installs it with
# apt-get, plays the installed program as two users made for the purpose,
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
packaging/check-depends.sh "$deb"
echo "== lintian"
lintian --fail-on error --display-info "$deb"

echo "== the files the package holds"
dpkg-deb -x "$deb" "$work/root"
id=org.metamorfine.Metamorfine
packaging/check-layout.sh "$work/root/usr" "lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
packaging/validate.sh desktop "$work/root/usr/share/applications/$id.desktop"
packaging/validate.sh metainfo "$work/root/usr/share/metainfo/$id.metainfo.xml"
packaging/validate.sh manpage "$work/root/usr/share/man/man6/metamorfine.6.gz"

echo "== install"
# Older versions left root's choice of language in the data folder: the package removes it.
mkdir -p /usr/share/metamorfine
printf '[Language]\r\nCurrentLanguage=Deutsch\r\n' >/usr/share/metamorfine/LangSetting.ini
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb"
[ ! -e /usr/share/metamorfine/LangSetting.ini ] || { echo "the stray LangSetting.ini outlived the install" >&2; exit 1; }
# Manual pages and documentation may be left out by the system's dpkg
# settings (as in containers); the program and its data never are.
[ -x /usr/bin/metamorfine ] || { echo "no /usr/bin/metamorfine" >&2; exit 1; }
[ "$(find /usr/share/metamorfine -name '*.gif' | wc -l)" -eq 80 ] \
  && [ "$(find /usr/share/metamorfine -name '*.wav' | wc -l)" -eq 5 ] \
  && [ "$(find /usr/share/metamorfine -name '*.lng' | wc -l)" -eq "$(find data/languages -name '*.txt' | wc -l)" ] \
  || { echo "the data in /usr/share/metamorfine is incomplete" >&2; exit 1; }

echo "== the installed program, as two users"
# Each user has their own settings: a language chosen in one run is there in
# the next, the installed files stay as they are, and a second user's first
# start speaks the system's language.
e2e=$(mktemp -d /tmp/metamorfine-e2e.XXXXXX)
chmod 755 "$e2e"
install -m 644 tests/e2e/e2e_program.py "$e2e/"
users=(mf-e2e-first mf-e2e-second)
trap 'for user in "${users[@]}"; do userdel -r "$user" 2>/dev/null || true; done; rm -rf "$work" "$e2e"' EXIT
for user in "${users[@]}"; do useradd -m "$user"; done
as_user() {  # user, $LANG, then the end-to-end test's arguments
  local user=$1 lang=$2; shift 2
  runuser -u "$user" -- env -i HOME="/home/$user" PATH=/usr/bin:/bin LANG="$lang" \
    timeout 300 dbus-run-session -- /usr/bin/python3 "$e2e/e2e_program.py" "$@"
}
started=$SECONDS
as_user mf-e2e-first C --installed /usr/bin/metamorfine
as_user mf-e2e-second de_DE.UTF-8 --first-run /usr/bin/metamorfine Deutsch
echo "== the users' runs took $((SECONDS - started)) s"

echo "== remove"
printf '[Language]\r\nCurrentLanguage=Deutsch\r\n' >/usr/share/metamorfine/LangSetting.ini
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
