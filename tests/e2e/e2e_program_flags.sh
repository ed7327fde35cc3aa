#!/bin/sh
# The real program's flags that end it before any window: their exit
# statuses, with no display at all, and a kiosk the system's settings lock
# refusing --settings to a user without privileges (nobody, under root).
# Arguments: EXECUTABLE
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
expect() {  # status, description, then the command
  want=$1 what=$2
  shift 2
  "$@" >"$work/out" 2>&1
  got=$?
  if [ "$got" -eq "$want" ]; then
    echo "ok: $what (exit $got)"
  else
    echo "FAILED: $what: exit $got, not $want"
    sed 's/^/  | /' "$work/out"
    failed=1
  fi
}
# Neither X nor Wayland nor a platform asked for.
bare="env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_DIRS=/nonexistent HOME=$work"
expect 0 "--help without a display" $bare "$program" --help
grep -q -- "--no-kiosk" "$work/out" || { echo "FAILED: --help does not list --no-kiosk"; failed=1; }
expect 0 "--version without a display" $bare "$program" --version
grep -qx "Metamorfine [0-9.]*" "$work/out" || { echo "FAILED: --version says: $(cat "$work/out")"; failed=1; }
# Which flags the parser refuses is tst_settings', the exit status of one
# tst_process'; here those refused once the menu and the files are looked at.
offscreen="env QT_QPA_PLATFORM=offscreen XDG_CONFIG_DIRS=/nonexistent HOME=$work"
expect 2 "an unknown language" $offscreen "$program" --language=Klingon
expect 2 "an exercise beyond the menu's" $offscreen "$program" --exercise=8

mkdir -p "$work/system/metamorfine" "$work/home"
printf '[Window]\nKiosk=true\n[Locked]\nKeys=Window/Kiosk\n' >"$work/system/metamorfine/metamorfine.conf"
chmod -R a+rX "$work"
as_user=""
[ "$(id -u)" -ne 0 ] || as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
[ -z "$as_user" ] || chown nobody "$work/home"
locked="env QT_QPA_PLATFORM=offscreen XDG_CONFIG_DIRS=$work/system HOME=$work/home XDG_CONFIG_HOME=$work/home/.config"
expect 3 "a locked kiosk refuses --settings, --no-kiosk or not" $as_user $locked "$program" --no-kiosk --settings
exit $failed
