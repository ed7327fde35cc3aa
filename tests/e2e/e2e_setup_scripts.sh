#!/bin/sh
# ./run.sh and ./test.sh as a newcomer meets them, in a copy of the scripts
# where dpkg-query, id, apt-get, cmake, ctest and the program are stand-ins
# that write down how they were called: run.sh builds the program alone and
# passes its arguments on; test.sh builds everything; warnings are errors
# only where $CI is set; a user without root and without sudo is told the one
# apt-get line to ask for, and root installs.
# Arguments: SOURCE_FOLDER
set -u
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree bin=$work/bin log=$work/log
mkdir -p "$tree/tools" "$bin"
cp "$source/run.sh" "$source/test.sh" "$tree/"
cp -r "$source/tools/setup.sh" "$source/tools/install-packages.sh" "$source/tools/packages" "$tree/tools/"
for tool in bash sh env grep dirname cat nproc mkdir touch rm chmod; do ln -s "$(command -v $tool)" "$bin/$tool"; done
stand_in() {  # name, then its body
  printf '#!/bin/sh\n%s\n' "$2" >"$bin/$1"
  chmod +x "$bin/$1"
}
stand_in dpkg-query 'for p; do :; done; case " $MISSING " in *" $p "*) exit 1;; esac; printf "install ok installed"'
stand_in id 'echo "$FAKE_UID"'
stand_in apt-get 'echo "apt-get $*" >>"$LOG"'
stand_in ctest 'echo "ctest $*" >>"$LOG"'
stand_in cmake 'echo "cmake $*" >>"$LOG"
if [ "$1" = -S ]; then
  mkdir -p build/program && touch build/build.ninja build/CMakeCache.txt
  printf "#!/bin/sh\necho \"program \$*\" >>\"\$LOG\"\n" >build/program/metamorfine && chmod +x build/program/metamorfine
fi'
failed=0
run() {  # uid, missing packages, $CI, then the script and its arguments
  uid=$1 missing=$2 ci=$3
  shift 3
  : >"$log"
  env -i PATH="$bin" LOG="$log" FAKE_UID="$uid" MISSING="$missing" ${ci:+CI=$ci} "$@" >"$work/out" 2>&1
}
expect() {  # what, then a grep pattern a line of the log (with "out:" the output) must match, or with "!" none
  what=$1 pattern=$2 file=$log held=0
  case $pattern in out:*) pattern=${pattern#out:} file=$work/out;; !*) pattern=${pattern#!} held=1;; esac
  grep -qx -- "$pattern" "$file"
  if [ $? -eq $held ]; then
    echo "ok: $what"
  else
    echo "FAILED: $what; the calls were:"
    sed 's/^/  | /' "$log" "$work/out"
    failed=1
  fi
}

run 1000 "" "" "$tree/run.sh" --windowed --level=3
expect "a fresh run.sh configures without warnings as errors" "cmake -S . -B build -G Ninja .*-DMF_WARNINGS_AS_ERRORS=OFF"
expect "run.sh builds the program alone" "cmake --build build --parallel [0-9]* --target metamorfine"
expect "run.sh passes its arguments on" "program --windowed --level=3"
expect "run.sh installs nothing that is there" '!apt-get .*'

rm -rf "$tree/build"
run 1000 "" 1 "$tree/test.sh"
expect "in CI warnings are errors" "cmake -S . -B build -G Ninja .*-DMF_WARNINGS_AS_ERRORS=ON"
expect "test.sh builds everything" "cmake --build build --parallel [0-9]*"
expect "test.sh runs the tests" "ctest --test-dir build .*"

run 1000 "cmake g++" "" "$tree/run.sh"
expect "without root or sudo, the one line to ask for" \
  "out:  apt-get install -y --no-install-recommends cmake g++"
expect "without root or sudo nothing is built or started" '!\(cmake\|program\) .*'
[ "$(grep -c apt-get "$work/out")" -eq 1 ] || { echo "FAILED: more than one apt-get line"; failed=1; }

run 0 "xvfb" "" "$tree/test.sh"
expect "root installs what is missing" "apt-get install -y -qq --no-install-recommends xvfb"
exit $failed
