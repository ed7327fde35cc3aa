#!/usr/bin/env bash
# Checks that an installed prefix holds everything Metamorfine needs, and no
# settings file: check-layout.sh <prefix> <library folder under it>
set -euo pipefail
prefix=$1
libdir=$2
id=org.metamorfine.Metamorfine
missing=0
expect() {
  for path in "$@"; do
    [ -e "$prefix/$path" ] || { echo "missing: $prefix/$path"; missing=1; }
  done
}
expect bin/metamorfine $libdir/metamorfine/libmetamorfine-media.so share/metamorfine/suoni/{si1,si2,si3,si4,no}.wav \
  share/applications/$id.desktop share/wayland-sessions/metamorfine-classroom.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$id.svg share/man/man6/metamorfine.6.gz \
  share/doc/metamorfine/{copyright,changelog.gz}
for source in "$(dirname "$0")"/../data/languages/*.txt; do
  expect "share/metamorfine/$(basename "$source" .txt).lng"
done
for set in 1 2 3 4 5; do expect share/metamorfine/gif/$set/{1..16}.gif; done
for size in 16 22 24 32 48 64 128 256; do expect share/icons/hicolor/${size}x$size/apps/$id.png; done
[ -x "$prefix/bin/metamorfine" ] || { echo "not executable: $prefix/bin/metamorfine"; missing=1; }
if [ -n "$(find "$prefix" -name LangSetting.ini)" ]; then
  echo "a settings file is installed"; missing=1
fi
exit $missing
