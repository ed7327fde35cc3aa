#!/usr/bin/env bash
# Sets up (packages, build) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh test
ctest --test-dir build --output-on-failure --timeout 600 "$@"
