#!/bin/sh
# The studio under a real X server, on a show tindrel new made: a saved texture program or
# picture shows in the paused picture of the same process, a mistake is named with its file and
# line while the show goes on, and fixing it brings the edited picture back exactly.
set -u
bin=$1
assets=$2
work=$3
. "$(dirname "$0")/x_session.sh"

# A creator's own show, started as the guide starts it; $assets is what it must hold.
"$bin" new sources >/dev/null || fail "tindrel new did not make a show"
diff -r "$assets" sources | grep -v '^Only in sources: README.md$' | grep -q . && fail "tindrel new did not copy the sources"
# The studio's cache goes where the test can see and remove it.
export XDG_CACHE_HOME="$work/cache"
"$bin" studio --source sources --from 33 --window --scale 1 --mute >out.txt 2>err.txt &
show=$!
window_of_show studio
focus_window
xdotool key space
# Past the "paused" the key puts over the picture for a moment.
sleep 2
shot paused.png

# Waits up to 4 s for the window to differ from $1, or to equal it with "same"; the figure the
# studio prints for the last save is the time from save to screen.
changed() {
    for _ in $(seq 40); do
        sleep 0.1
        shot now.png
        differ=$(compare-im6.q16 -metric AE "$1" now.png null: 2>&1)
        if [ "${2:-}" = same ]; then [ "$differ" = 0 ] && return 0; else [ "$differ" != 0 ] && return 0; fi
    done
    return 1
}
texture=sources/Part8/texture.tex.txt
line=$(grep -n '^plasma' "$texture" | head -n 1 | cut -d: -f1)
sed -i -E "${line}s/red=[0-9]+ +green=[0-9]+ +blue=[0-9]+/red=250 green=40 blue=90/" "$texture"
changed paused.png || fail "a new plasma colour did not reach the paused picture within 4 s"
cp now.png edited.png
echo "texture: $(grep 'on screen' err.txt | tail -n 1)"

echo "blurr passes=1" >>"$texture"
lines=$(wc -l <"$texture")
for _ in $(seq 40); do grep -q "texture.tex.txt:$lines:" err.txt && break; sleep 0.1; done
grep -q "texture.tex.txt:$lines:" err.txt || fail "the misspelt operation was not named as texture.tex.txt:$lines"
kill -0 "$show" 2>/dev/null || fail "a mistake ended the studio"
echo "mistake: $(grep "texture.tex.txt:$lines:" err.txt)"

sed -i '$d' "$texture"
changed edited.png same || fail "without the mistake, the edited picture did not come back exactly"

svg=sources/Part8/background.svg
line=$(grep -n 'fill="#' "$svg" | head -n 1 | cut -d: -f1)
sed -i "${line}s/fill=\"#[0-9a-fA-F]*\"/fill=\"#ff00ff\"/" "$svg"
changed edited.png || fail "a new fill colour in the SVG did not reach the picture within 4 s"
cp now.png edited2.png
echo "picture: $(grep 'on screen' err.txt | tail -n 1)"

# A saved song is compiled and the music goes on from the row on screen, the show still paused.
before=$(grep -c 'on screen' err.txt)
# A pattern in the short form, only the row with a note written, builds into the music.
printf 'pattern extra 64\n08 | C-4 01 ... ... | | | | | | | | | | |\nend\n' >>sources/music/super.song
for _ in $(seq 40); do [ "$(grep -c 'on screen' err.txt)" -gt "$before" ] && break; sleep 0.1; done
[ "$(grep -c 'on screen' err.txt)" -gt "$before" ] || fail "a saved song did not reach the show"
grep -q "super.song:" err.txt && fail "the short-form pattern was refused: $(grep super.song: err.txt)"
shot song.png
[ "$(compare-im6.q16 -metric AE edited2.png song.png null: 2>&1)" = 0 ] || fail "a saved song moved the paused picture"
kill -0 "$show" 2>/dev/null || fail "a saved song ended the studio"
echo "song: $(grep 'on screen' err.txt | tail -n 1)"

xdotool key q
ends_within_a_second "q did not quit the studio within a second"
[ "$status" -eq 0 ] || fail "exit status $status after q"
echo "the studio followed every save, named the mistake, and q quit it with status 0"
