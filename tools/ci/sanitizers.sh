#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan and runs the whole test suite there.
# Any sanitizer report fails: the sanitized processes stop at their first
# report, and reports of processes whose exit status nobody checks (the
# program started by a test) are collected from the log folder at the end.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build-asan
logs=$build/sanitizer-logs

flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
# GCC's bounds warning sees the instrumented code and then takes Qt's shared
# empty array for the data of a byte array already checked to be long enough;
# it stays a warning here.
warnings="-Wno-error=array-bounds"
# A small quarantine of freed memory still catches a use after free, and keeps
# the memory bounds that some tests measure.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:quarantine_size_mb=16:log_path=$logs/asan"
# The program's end is checked for leaks; the libraries' own are listed here.
export LSAN_OPTIONS="suppressions=$root/tools/ci/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$logs/ubsan"

rm -rf "$logs"
mkdir -p "$logs"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMF_WARNINGS_AS_ERRORS=ON \
    -DCMAKE_CXX_FLAGS="$flags $warnings" -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
cmake --build "$build" -j2

status=0
ctest --test-dir "$build" -j2 --output-on-failure --timeout 600 "$@" || status=1
if compgen -G "$logs/*" >/dev/null; then
    echo "Sanitizer reports:" >&2
    cat "$logs"/* >&2
    status=1
fi
exit $status
