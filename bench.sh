#!/usr/bin/env bash
# Sets up (packages, build) and runs the benchmarks.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh test
for b in build/bench/bench_*; do
  if [ -f "$b" ] && [ -x "$b" ]; then
    QT_QPA_PLATFORM=offscreen "$b"
  fi
done
