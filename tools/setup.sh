#!/usr/bin/env bash
# Installs the Debian packages that are missing (those for building and
# running, and those of the purposes named, see install-packages.sh), then
# configures and builds. Quick when nothing changed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-packages.sh "$@"

# Configuring again after packages were installed finds what was missing
# before (Google Benchmark turns the benchmarks on).
if [ ! -f build/build.ninja ] || [ /var/lib/dpkg/status -nt build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build --parallel "$(nproc)"
