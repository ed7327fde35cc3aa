#!/bin/sh
# Every data file the build writes can be read by every user (mode 0644, its
# folders 0755): those
# of the built program folder, and those the generators write again under a
# umask that would keep new files private.
# Arguments: PROGRAM_FOLDER DRAW_PICTURES MAKE_SOUNDS MAKE_LANGUAGE_FILE LANGUAGE_SOURCE
set -eu
program=$1 draw=$2 sounds=$3 language=$4 source=$5
failed=0

check() {
  count=$(find "$1" -type f \( -name '*.gif' -o -name '*.wav' -o -name '*.lng' \) | wc -l)
  wrong=$(find "$1" -mindepth 1 \( -type d ! -perm 0755 \) -o \
    \( -type f \( -name '*.gif' -o -name '*.wav' -o -name '*.lng' \) ! -perm 0644 \))
  if [ "$count" -ne "$2" ] || [ -n "$wrong" ]; then
    echo "FAIL: $3: $count data files instead of $2; of the wrong mode: $wrong"
    failed=1
  else
    echo "PASS: $3: $count data files of mode 0644 in folders of mode 0755"
  fi
}

# 80 pictures, 5 sounds, a language for each text beside the English one.
languages=$(find "$(dirname "$source")" -name '*.txt' | wc -l)
check "$program" $((85 + languages)) "the built program folder"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(
  umask 077
  "$draw" "$work" >/dev/null
  "$sounds" "$work" >/dev/null
  "$language" "$source" "$work/English.lng"
)
check "$work" 86 "written under umask 077"
exit $failed
