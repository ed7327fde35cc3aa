#!/bin/sh
# The installed program, from a prefix made by `cmake --install`: it plays as
# the copied folder does and keeps the choice in the user's own settings file.
# Then, as nobody under root, a first start after German was chosen speaks
# nobody's own language (Arabic, its menu mirrored). No run adds or changes a
# file of the prefix, root's who could write anywhere included.
# Arguments: BUILD_FOLDER E2E_SCRIPT
set -eu
build=$1 script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
listing() { find "$prefix" -printf '%p %s %T@\n' | sort; }
listing >"$work/before"
mkdir "$work/home" "$work/first-home"
env -i PATH=/usr/bin:/bin HOME="$work/home" \
  dbus-run-session -- /usr/bin/python3 "$script" --installed "$prefix/bin/metamorfine"
as_user=""
[ "$(id -u)" -ne 0 ] || as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
chmod 755 "$work"
[ -z "$as_user" ] || chown nobody "$work/first-home"
$as_user env -i PATH=/usr/bin:/bin HOME="$work/first-home" LANG=ar_EG.UTF-8 \
  dbus-run-session -- /usr/bin/python3 "$script" --first-run "$prefix/bin/metamorfine" العربية
listing >"$work/after"
diff "$work/before" "$work/after" >&2 || { echo "FAILED: the runs changed the installed prefix (above)" >&2; exit 1; }
echo "ok: nothing under the prefix was added or changed"
