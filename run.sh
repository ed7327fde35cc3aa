#!/usr/bin/env bash
# Sets up (packages, build) and starts Metamorfine.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
exec build/program/metamorfine
