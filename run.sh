#!/usr/bin/env bash
# Sets up (packages, the program's build alone) and starts Metamorfine, with
# the arguments given: ./run.sh --windowed
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
exec build/program/metamorfine "$@"
