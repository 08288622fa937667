#!/bin/sh
# Installs the build under a fresh prefix and runs the installed program from elsewhere: it
# must find its data beside itself, with no --data and no data in the working directory.
set -eu
build=$1
work=$2
rm -rf "$work" && mkdir -p "$work/elsewhere"
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log"
for f in bin/tindrel bin/tindrel-assetgen share/tindrel/Super.xm share/tindrel/Part9/background.pcx \
         share/applications/tindrel.desktop share/icons/hicolor/256x256/apps/tindrel.png \
         share/man/man1/tindrel.1 share/bash-completion/completions/tindrel; do
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
# The manual renders, without a word from the formatter.
MANWIDTH=80 man --warnings -P cat -l "$work/moved/share/man/man1/tindrel.1" >man.txt 2>man.err ||
    { echo "FAIL: man cannot render the manual"; cat man.err; exit 1; }
[ ! -s man.err ] || { echo "FAIL: the manual has mistakes"; cat man.err; exit 1; }
grep -q "EXIT STATUS" man.txt || { echo "FAIL: the manual rendered empty"; exit 1; }
grep -q "^STUDIO" man.txt || { echo "FAIL: the manual has no STUDIO section"; exit 1; }
# The completion reads, and offers the scenes' titles from the program itself.
completion="$work/moved/share/bash-completion/completions/tindrel"
bash -n "$completion" || { echo "FAIL: the completion does not parse"; exit 1; }
offered=$(bash -c '. "$1"; COMP_WORDS=(tindrel --from wave); COMP_CWORD=2; _tindrel "$2" wave --from
                   echo "${COMPREPLY[*]}"' completion "$completion" "$work/moved/bin/tindrel")
[ "$offered" = "wave-warp" ] || { echo "FAIL: completion offers \"$offered\" for --from wave"; exit 1; }
# The loop that needs no build tree: the installed generator makes a data folder of one's own
# from the sources, and the installed program plays from it.
assets="$(cd "$(dirname "$0")/.." && pwd)/assets"
"$work/moved/bin/tindrel-assetgen" --list-ops | grep -q "^plasma$" || { echo "FAIL: no operations listed"; exit 1; }
"$work/moved/bin/tindrel-assetgen" "$assets" "$work/mine/data" || { echo "FAIL: the installed generator failed"; exit 1; }
"$work/moved/bin/tindrel" still 33 10 mine.png --data "$work/mine/data" && [ -s mine.png ] ||
    { echo "FAIL: no still from a data folder of one's own"; exit 1; }
# The installed studio asks for its sources rather than reach into a build tree, and a new
# show starts from the installed ones.
status=0
"$work/moved/bin/tindrel" studio --mute 2>studio.err || status=$?
[ "$status" -eq 2 ] && grep -q -- "--source" studio.err ||
    { echo "FAIL: the installed studio without --source gave status $status: $(cat studio.err)"; exit 1; }
"$work/moved/bin/tindrel" new myshow >/dev/null && [ -f myshow/music/super.song ] && [ -f myshow/README.md ] ||
    { echo "FAIL: the installed program made no new show"; exit 1; }
echo "installed, moved and run from another folder; the installed generator made data it plays"
