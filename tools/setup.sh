#!/usr/bin/env bash
# Installs the Debian packages that are missing (those for building and
# running, and those of the purposes named, see install-packages.sh), then
# configures and builds: the program alone, or everything (tests and
# benchmarks) when "test" is named. Quick when nothing changed. Where $CI is
# set, warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-packages.sh "$@"

targets=(--target metamorfine)
for purpose in "$@"; do
  [ "$purpose" != test ] || targets=()
done
werror=OFF
[ -z "${CI:-}" ] || werror=ON
# Configuring again after packages were installed finds what was missing
# before (Google Benchmark turns the benchmarks on).
if [ ! -f build/build.ninja ] || [ /var/lib/dpkg/status -nt build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMF_WARNINGS_AS_ERRORS=$werror
fi
cmake --build build --parallel "$(nproc)" "${targets[@]}"
