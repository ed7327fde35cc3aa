#!/usr/bin/env bash
# Measures, under Xvfb at 1920x1080, the time from starting Metamorfine to its
# first painted start screen against the same time for a bare Qt Widgets
# window showing one line of text (the floor of our stack), round by round,
# and the resident memory of both: the build's program folder, then an
# installed tree (cmake --install into a temporary prefix whose bin/ also holds
# 2,000 other files). Then what the media plugin costs: the program folder
# against a copy without the plugin. Then, where speech-dispatcher is
# installed, the same program started with a speech server to talk to against
# one started with none: the voice must not delay the first painted screen;
# and the time from opening an exercise to its first sentence (first_sentence.py);
# Last, where pulseaudio is installed, with a private audio server whose only
# output is a null sink: the wake-ups of the program left alone on each screen
# (idle_wakeups.py), the main thread's time in the first sounds of a run
# (first_sound.cpp), and whether they reach the sink (parec and sox).
# Usage: tools/startup-time.sh [rounds] [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-15}
build=${2:-build}
[ -n "${2:-}" ] || tools/setup.sh test >/dev/null
program="$build/program/metamorfine"
floor="$build/tools/startup/startup_floor_window"
for binary in "$program" "$floor"; do
  [ -x "$binary" ] || { echo "missing $binary" >&2; exit 1; }
done

work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -br -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
speechd=
pulse=
trap 'kill $xvfb $speechd $pulse 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
number=$(head -n1 "$work/display")
export DISPLAY=":$number"

echo "the build's program folder against the bare window:"
/usr/bin/python3 tools/startup/first_paint.py "$rounds" "$program" "$floor"

installed="$work/installed"
cmake --install "$build" --prefix "$installed" >/dev/null
(cd "$installed/bin" && touch $(seq -f other-%g 2000))
echo "an installed tree against the bare window:"
/usr/bin/python3 tools/startup/first_paint.py "$rounds" "$installed/bin/metamorfine" "$floor"

cp -r "$build/program" "$work/no-plugin"
rm -f "$work"/no-plugin/*metamorfine-media*
echo "the program folder against a copy without the media plugin:"
/usr/bin/python3 tools/startup/first_paint.py "$rounds" "$program" "$work/no-plugin/metamorfine"

command -v speech-dispatcher >/dev/null || { echo "no speech-dispatcher: speech not measured"; exit 0; }
speech-dispatcher -s -t 0 -c unix_socket -S "$work/speechd.sock" -L "$work" -P "$work/speechd.pid" >/dev/null 2>&1 &
speechd=$!
for _ in $(seq 100); do [ -S "$work/speechd.sock" ] && break; sleep 0.05; done
echo "with a speech server against without one:"
/usr/bin/python3 tools/startup/first_paint.py "$rounds" \
  "SPEECHD_ADDRESS=unix_socket:$work/speechd.sock $(printf %q "$program")" \
  "SPEECHD_ADDRESS=unix_socket:$work/no-speech.sock $(printf %q "$program")"
echo "from opening an exercise to its first sentence handed to speech-dispatcher:"
/usr/bin/python3 tools/startup/first_sentence.py "$program"
command -v pulseaudio >/dev/null || { echo "no pulseaudio: no sound measured"; exit 0; }
mkdir -m 700 "$work/pulse"
export XDG_RUNTIME_DIR="$work/pulse" PULSE_SERVER="unix:$work/pulse/pulse/native"
HOME="$work/pulse" pulseaudio -n --daemonize=no --exit-idle-time=-1 -L module-null-sink \
  -L module-native-protocol-unix >/dev/null 2>&1 &
pulse=$!
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
echo "wake-ups of the program left alone, with an audio and a speech server:"
/usr/bin/python3 tools/startup/idle_wakeups.py "$program"
echo "the main thread in the first sounds, straight after start, then with the media readied 1 s before:"
for prepared in "" --prepared; do
  parec --latency-msec=20 --process-time-msec=10 -d null.monitor --raw >"$work/sink.raw" &
  recorder=$!
  sleep 0.5
  SPEECHD_ADDRESS="unix_socket:$work/no-speech.sock" QT_QPA_PLATFORM=offscreen \
    "$build/tools/startup/startup_first_sound" $prepared
  sleep 0.5
  kill -INT $recorder
  wait $recorder 2>/dev/null || true
  if command -v sox >/dev/null; then
    echo "  at the null sink: $(sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/sink.raw" -n stat 2>&1 |
      grep -E 'Maximum amplitude' | tr -s ' ') (0 is silence)"
  fi
done
