#!/bin/sh
# A checkout copied with its configured build folders: configuring in the copy, as ./scripts/build
# and ./scripts/web do first, makes the copy's folders afresh, and installing from a copied
# folder stops with a message and status 1. The original's files keep their times and sizes.
# (The whole of ./scripts/web in a copy costs the web build again, minutes; its only step that
# reaches the original is this configure, which is what runs here.)
set -u
src=$1
work=$2
fail() { echo "FAIL: $*"; exit 1; }
command -v git >/dev/null && git -C "$src" rev-parse >/dev/null 2>&1 || { echo "skipped: not a git checkout"; exit 77; }
rm -rf "$work" && mkdir -p "$work/original" && cd "$work" || exit 1

# The original: the checkout's files, its build folders configured.
(cd "$src" && git ls-files -co --exclude-standard -z) | (cd "$src" && xargs -0 cp --parents -t "$work/original")
cmake -S original -B original/build -DCMAKE_BUILD_TYPE=Release -DTINDREL_BENCH=OFF >configure.log 2>&1 ||
    fail "the original did not configure: $(cat configure.log)"
cp -a original copy
listing() { find original -printf '%p %s %T@\n' | sort; }
listing >before.txt

# Installing from the copied folder names the copy and the original, and installs nothing.
cmake --install copy/build --prefix "$work/prefix" >install.log 2>&1
status=$?
[ "$status" -ne 0 ] || fail "cmake --install from a copied build folder succeeded"
# CMake wraps its messages' lines.
tr '\n' ' ' <install.log | tr -s ' ' | grep -q "copy/build was configured as $work/original/build, of another checkout" ||
    fail "the copied install did not say why: $(cat install.log)"
[ -e prefix ] && [ -n "$(find prefix -type f)" ] && fail "the copied install installed files"

# The configure step of ./scripts/build and ./scripts/web, in the copy.
(cd copy && . ./scripts/build-folder.sh && own_build_folder build &&
    cmake_checked -S . -B build -DCMAKE_BUILD_TYPE=Release -DTINDREL_BENCH=OFF) >copy.log 2>&1 ||
    fail "the copy did not configure: $(cat copy.log)"
grep -q "build was configured in $work/original/build, not here" copy.log || fail "the copied folder was not named"
grep -qx "CMAKE_CACHEFILE_DIR:INTERNAL=$work/copy/build" copy/build/CMakeCache.txt || fail "the copy's build folder is not its own"

# A CMake error fails the step, whatever cmake's status.
mkdir -p broken && echo 'message(SEND_ERROR "broken on purpose")' >broken/CMakeLists.txt
(. copy/scripts/build-folder.sh && cmake_checked -S broken -B broken/build) >broken.log 2>&1 && fail "a CMake error passed"

listing >after.txt
cmp -s before.txt after.txt || fail "the original changed: $(diff before.txt after.txt | head -n 5)"
echo "the copy configured its own folders, the copied install stopped ($(grep -c . before.txt) files of the original unchanged)"
