#!/bin/sh
# The installed program, from a prefix made by `cmake --install` whose bin/
# also holds 2,000 other files: it plays as the copied folder does, keeps the
# choice in the user's own settings file, and lists no folder beside its
# executable (traced from the menu on). Then, as nobody under root, a first
# start after German was chosen speaks nobody's own language (Arabic, its menu
# mirrored). No run adds or changes a file of the prefix, root's who could
# write anywhere included.
# Arguments: BUILD_FOLDER E2E_SCRIPT
set -eu
build=$1 script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
seq -f "$prefix/bin/other-program-%.0f" 0 1999 | xargs touch
listing() { find "$prefix" -printf '%p %s %T@\n' | sort; }
listing >"$work/before"
mkdir "$work/home" "$work/first-home"
env -i PATH=/usr/bin:/bin HOME="$work/home" E2E_TRACE_FOLDERS=1 \
  dbus-run-session -- /usr/bin/python3 "$script" --installed "$prefix/bin/metamorfine"
as_user=""
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$work"
  chown nobody "$work/first-home"
  as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
$as_user env -i PATH=/usr/bin:/bin HOME="$work/first-home" LANG=ar_EG.UTF-8 \
  dbus-run-session -- /usr/bin/python3 "$script" --first-run "$prefix/bin/metamorfine" العربية
listing >"$work/after"
if ! cmp -s "$work/before" "$work/after"; then
  echo "FAILED: the runs changed the installed prefix:" >&2
  diff "$work/before" "$work/after" >&2 || true
  exit 1
fi
echo "ok: nothing under the prefix was added or changed"
