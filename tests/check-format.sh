#!/bin/sh
# Every tracked C++ file of the source tree at $1 is formatted as its
# .clang-format says. Exit code 77 (skipped) without clang-format or outside a
# git checkout, so that the test shows as skipped rather than passed.
command -v clang-format >/dev/null 2>&1 || { echo "clang-format is not installed"; exit 77; }
files=$(git -C "$1" ls-files '*.cpp' '*.h' 2>/dev/null) || { echo "$1 is not a git checkout"; exit 77; }
cd "$1" && echo "$files" | xargs clang-format --dry-run --Werror
