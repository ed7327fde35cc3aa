#!/bin/sh
# The Wayland end-to-end test (e2e_wayland.py) in its own session bus, as a
# user who is not root: Wayland compositors refuse to run as root, so under
# root it runs as nobody. Arguments: E2E_SCRIPT, then those of e2e_wayland.py
set -eu
as_user=""
[ "$(id -u)" -ne 0 ] || as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
script=$1
shift
exec $as_user env HOME=/tmp PATH=/usr/bin:/bin ${E2E_SCREENSHOTS:+E2E_SCREENSHOTS=$E2E_SCREENSHOTS} \
  dbus-run-session -- /usr/bin/python3 "$script" "$@"
