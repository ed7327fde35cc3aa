#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang in build-fuzz and runs
# each for the given number of seconds (default 60) from a copy of its seed
# corpus in fuzz/corpus; the profile and line-scan fuzzers also start from the
# shipped language files, built by the language converter. Any crash, failed check, sanitizer report, leak,
# input slower than 10 s or process above 1 GB fails. Prints each fuzzer's
# executions per second.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build-fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMF_WARNINGS_AS_ERRORS=ON -DMF_FUZZ=ON \
    -DCMAKE_CXX_COMPILER="${CXX:-clang++-14}" -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
cmake --build "$build" -j2 --target mf_fuzzers mf_data

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for seeds in fuzz/corpus/*/; do
    name=$(basename "$seeds")
    run=$build/runs/$name
    rm -rf "$run"
    mkdir -p "$run/corpus" "$run/crashes"
    cp "$seeds"* "$run/corpus/"
    # Each input of these fuzzers begins with the names to look up.
    case $name in
    profile) names=$'Strings\n0001\nnew text\n' ;;
    linescan) names=$'0001\n' ;;
    *) names= ;;
    esac
    if [ -n "$names" ]; then
        for language in "$build"/program/*.lng; do
            { printf '%s' "$names"; cat "$language"; } >"$run/corpus/shipped-$(basename "$language")"
        done
    fi
    if "$build/fuzz/fuzz_$name" "$run/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
        -print_final_stats=1 -artifact_prefix="$run/crashes/" >"$run/log" 2>&1; then
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$run/log")
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log")
        echo "fuzz_$name: $runs runs in ${seconds} s, $rate exec/s"
    else
        status=1
        echo "fuzz_$name FAILED; the input that failed is in $run/crashes:" >&2
        tail -n 60 "$run/log" >&2
    fi
done
exit $status
