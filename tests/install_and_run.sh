#!/bin/sh
# Installs the build under a fresh prefix and runs the installed program from elsewhere: it
# must find its data beside itself, with no --data and no data in the working directory.
set -eu
build=$1
work=$2
rm -rf "$work" && mkdir -p "$work/elsewhere"
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log"
for f in bin/tindrel share/tindrel/Super.xm share/tindrel/Part9/background.pcx \
         share/applications/tindrel.desktop share/icons/hicolor/256x256/apps/tindrel.png; do
    [ -e "$work/prefix/$f" ] || { echo "FAIL: $f was not installed"; exit 1; }
done
# Moved after installing, the installation still finds its data.
mv "$work/prefix" "$work/moved"
cd "$work/elsewhere"
"$work/moved/bin/tindrel" still 36 0 0 white.png
"$work/moved/bin/tindrel" convert "$work/moved/share/tindrel/Part9/background.pcx" bg.png
[ -s white.png ] && [ -s bg.png ] || { echo "FAIL: no pictures"; exit 1; }
# And it is its own data it reads, not the build tree's: take a picture away and it says so.
rm "$work/moved/share/tindrel/Part9/background.pcx"
message=$("$work/moved/bin/tindrel" still 36 0 0 none.png || true)
[ "$message" = "Part9/background.pcx: Could not open file" ] || { echo "FAIL: read other data ($message)"; exit 1; }
echo "installed, moved and run from another folder"
