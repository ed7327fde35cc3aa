#!/bin/sh
# The Wayland end-to-end test (e2e_wayland.py) in its own session bus, as a
# user who is not root: Wayland compositors refuse to run as root, so under
# root it runs as nobody. Arguments: those of e2e_wayland.py, then E2E_SCRIPT
set -eu
as_user=""
[ "$(id -u)" -ne 0 ] || as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
script=$(eval echo "\${$#}")
arguments=""
while [ $# -gt 1 ]; do arguments="$arguments $1"; shift; done
exec $as_user env HOME=/tmp PATH=/usr/bin:/bin ${E2E_SCREENSHOTS:+E2E_SCREENSHOTS=$E2E_SCREENSHOTS} \
  dbus-run-session -- /usr/bin/python3 "$script" $arguments
