#!/bin/sh
# The installed program, from a prefix made by `cmake --install` whose bin/
# also holds 2,000 other files: it plays as the copied folder does, keeps the
# choice in the user's own settings file, and lists no folder beside its
# executable (traced from the menu on). An installed tree is not the user's to
# write, which root ignores: under root the test runs as nobody.
# Arguments: BUILD_FOLDER E2E_SCRIPT
set -eu
build=$1 script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
i=0
while [ $i -lt 2000 ]; do
  : >"$work/prefix/bin/other-program-$i"
  i=$((i + 1))
done
mkdir "$work/home"
as_user=""
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$work"
  chown nobody "$work/home"
  as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
$as_user env -i PATH=/usr/bin:/bin HOME="$work/home" E2E_TRACE_FOLDERS=1 \
  dbus-run-session -- /usr/bin/python3 "$script" --installed "$work/prefix/bin/metamorfine"
