#!/usr/bin/env bash
# Makes the software centres' screenshots (packaging/screenshots/) with the
# program's own end-to-end run under openbox and Xvfb at 1280 x 1024, in
# English: the start screen, four pictures, eight pictures with the step up
# told, sixteen pictures. Run after building (./test.sh or ./run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
chmod 777 "$shots"
E2E_SCREENSHOTS=$shots dbus-run-session -- /usr/bin/python3 tests/e2e/e2e_program.py --wm build/program >/dev/null
for pair in start-full-screen:start exercise-level-1:four-pictures level-step:step-up exercise-level-3:sixteen-pictures; do
  convert "$shots/${pair%%:*}.png" -strip -define png:compression-level=9 "packaging/screenshots/${pair##*:}.png"
done
ls -l packaging/screenshots
