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
diff -r "$assets" sources | grep -v -e '^Only in sources: README.md$' -e '^Only in sources/Part[0-9]: [a-z]*\.lwo\.txt$' | grep -q . && fail "tindrel new did not copy the sources"
# The studio's cache goes where the test can see and remove it.
export XDG_CACHE_HOME="$work/cache"
"$bin" studio --source sources --from 33 --window --scale 1 --mute >out.txt 2>err.txt &
show=$!
window_of_show studio
# A cold start: the show plays before the data is all built.
for _ in $(seq 300); do grep -q "studio: data ready" err.txt && break; sleep 0.1; done
grep -q "studio: data ready, .* built in" err.txt || fail "the first build did not end within 30 s"
first=$(grep -n "first frame on screen" err.txt | cut -d: -f1)
ready=$(grep -n "studio: data ready" err.txt | cut -d: -f1)
[ -n "$first" ] && [ "$first" -lt "$ready" ] || fail "the show did not play while the data was built"
echo "cold: $(grep 'first frame' err.txt); $(grep 'data ready' err.txt)"
focus_window
xdotool key space
# Past the 1.5 s the word "paused" stays over the picture: every shot is of the picture alone.
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
printf 'pattern extra 64\n08 | C-4 01 ... ... | | | | | | | | | | | | |\nend\n' >>sources/music/super.song
for _ in $(seq 40); do [ "$(grep -c 'on screen' err.txt)" -gt "$before" ] && break; sleep 0.1; done
[ "$(grep -c 'on screen' err.txt)" -gt "$before" ] || fail "a saved song did not reach the show"
grep -q "super.song:" err.txt && fail "the short-form pattern was refused: $(grep super.song: err.txt)"
# "music rebuilt" shows over the paused picture for a moment, which then comes back as it was.
changed edited2.png || fail "a saved song did not say \"music rebuilt\" on screen"
grep -q "studio: music rebuilt" err.txt || fail "a saved song was not said as rebuilt music"
cp now.png rebuilt.png
changed edited2.png same || fail "a saved song moved the paused picture"
kill -0 "$show" 2>/dev/null || fail "a saved song ended the studio"
echo "song: $(grep 'on screen' err.txt | tail -n 1)"

xdotool key q
ends_within_a_second "q did not quit the studio within a second"
[ "$status" -eq 0 ] || fail "exit status $status after q"

# Started again with nothing changed since, the saves included: nothing is built and the first
# frame is on screen at once (a second, measured; the bound leaves room for a loaded machine).
begin=$(date +%s%N)
"$bin" studio --source sources --from 33 --window --scale 1 --mute >out.txt 2>err.txt &
show=$!
for _ in $(seq 500); do grep -q "first frame on screen" err.txt && break; sleep 0.01; done
warm=$(( ($(date +%s%N) - begin) / 1000000 ))
grep -q "first frame on screen" err.txt || fail "no first frame within 5 s of a warm start"
grep -q "studio: all .* files as built before; data ready" err.txt || fail "a warm start built again"
[ "$warm" -le 5000 ] || fail "a warm start took $warm ms to its first frame"
echo "warm: first frame $warm ms after the launch; $(grep 'first frame' err.txt)"
window_of_show "warm studio"
focus_window
xdotool key q
ends_within_a_second "q did not quit the warm studio within a second"

# The show's last two orders: at the end the studio holds the last frame until the creator
# quits, and Home plays the show again.
"$bin" studio --source sources --from 35 --window --scale 1 --mute >out.txt 2>err.txt &
show=$!
window_of_show "studio at the end"
focus_window
# Held: the same frame twice, a second apart, under a banner (its box's red at the foot).
held=""
for _ in $(seq 40); do
    shot a.png
    sleep 1
    shot b.png
    red=$(convert-im6.q16 b.png -crop 1x1+8+290 +repage -format '%[fx:int(255*r) > 60 && int(255*g) < 30]' info:)
    if [ "$(compare-im6.q16 -metric AE a.png b.png null: 2>&1)" = 0 ] && [ "$red" = 1 ]; then held=yes; break; fi
done
[ -n "$held" ] || fail "the show's end was not held under \"the end: Home plays again\" within 40 s"
sleep 5
kill -0 "$show" 2>/dev/null || fail "the studio closed at the show's end"
shot end.png
xdotool key Home
changed end.png || fail "Home did not play the show again"
sleep 1
shot again.png
changed again.png || fail "after Home the show does not play on"
echo "end: held the last frame, open 5 s later; Home played again"
xdotool key q
ends_within_a_second "q did not quit the studio at the end within a second"
echo "the studio followed every save, named the mistake, and q quit it with status 0"
