#!/bin/sh
# The studio on sources from someone else, under a real X server: each case below does what an
# attacker or an unlucky user would, and the studio says so and goes on, never reading outside
# the sources, writing through a planted link or losing a save; q during a build that would run
# for long still quits within a second.
set -u
bin=$1
assets=$2
work=$3
. "$(dirname "$0")/x_session.sh"

cp -r "$assets" sources
export XDG_CACHE_HOME="$work/cache"
echo "the victim's file" >victim.txt

# Waits up to $2 tenths of a second (40 unless given) for err.txt to hold the text $1.
said() {
    for _ in $(seq "${2:-40}"); do grep -qF -- "$1" err.txt && return 0; sleep 0.1; done
    return 1
}
start() {
    : >err.txt
    "$bin" studio --source sources --from 33 --window --scale 1 --mute "$@" >out.txt 2>err.txt &
    show=$!
    window_of_show studio
    # What the cache lacks is built while the show plays; the cases start from a show built.
    said "studio: data ready" 300 || fail "the data was not ready within 30 s"
    focus_window
    xdotool key space
    sleep 0.5
}
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
quit() {
    begin=$(date +%s%N)
    xdotool key q
    ends_within_a_second "q did not quit the studio within a second ($1)"
    echo "q $1: ended in $(ms_since "$begin") ms"
    [ "$status" -eq 0 ] || fail "exit status $status after q ($1)"
    # A build's command line names the cache; none may outlive the studio.
    builds=$(grep -la -- "studio-build-child" /proc/[0-9]*/cmdline 2>/dev/null | xargs -r grep -la -- "$work" | wc -l)
    [ "$builds" -eq 0 ] || fail "$builds builds outlived the studio ($1)"
}
texture=sources/Part8/texture.tex.txt
recolour() {
    line=$(grep -n '^plasma' "$texture" | head -n 1 | cut -d: -f1)
    sed -i -E "${line}s/red=[0-9]+ +green=[0-9]+ +blue=[0-9]+/red=$1 green=40 blue=90/" "$texture"
}
# Waits up to 4 s for a build of the texture after the count of builds seen so far.
texture_applied() {
    for _ in $(seq "${2:-40}"); do [ "$(grep -c 'on screen' err.txt)" -gt "$1" ] && return 0; sleep 0.1; done
    return 1
}

# A symbolic link loop and a link out of the sources: named, and the studio starts.
ln -s loop-b.tex.txt sources/Part1/loop-a.tex.txt
ln -s loop-a.tex.txt sources/Part1/loop-b.tex.txt
start
said "Part1/loop-a.tex.txt: a symbolic link that leads nowhere" || fail "a symbolic link loop was not named"

# A picture whose filter would run for hours, then a texture saved while it builds: the texture
# is on screen within seconds and q ends everything within one.
cp sources/Part8/background.svg good.svg
sed -i 's|</svg>|<filter id="x"><feTurbulence baseFrequency="0.05" numOctaves="100000"/></filter><rect width="600" height="300" filter="url(#x)"/></svg>|' sources/Part8/background.svg
sleep 0.3
before=$(grep -c 'on screen' err.txt)
recolour 251
texture_applied "$before" || fail "a texture saved during a runaway build was not applied within 4 s"
echo "runaway: $(grep 'newer save' err.txt | head -n 1); $(grep 'on screen' err.txt | tail -n 1)"
said "Part8/background.svg: drawing it takes more than 5 s of processor time" 150 ||
    fail "the costly picture was not refused"
sed -i 's|</svg>|<!-- again --></svg>|' sources/Part8/background.svg
sleep 0.5
quit "during a runaway build"
cp good.svg sources/Part8/background.svg

# A link, a FIFO and a file at mode 000 planted inside the cache: each replaced, never opened.
data=$(find cache -type d -name data | head -n 1)
[ -n "$data" ] || fail "no cache folder was made under XDG_CACHE_HOME"
[ "$(stat -c %a "$(dirname "$data")")" = 700 ] || fail "the cache folder is open to others"
rm "$data/Part7/texture.tex" "$data/Part9/background.pcx"
ln -s "$work/victim.txt" "$data/Part7/texture.tex"
mkfifo "$data/Part9/background.pcx"
chmod 000 "$data/Part8/texture.tex"

start
grep -q "files as built before; building [0-9]* while the show plays" err.txt || fail "the planted files were not built again"
[ "$(cat victim.txt)" = "the victim's file" ] || fail "a planted link in the cache was written through"
for planted in Part7/texture.tex Part9/background.pcx Part8/texture.tex; do
    [ -f "$data/$planted" ] && [ ! -L "$data/$planted" ] && [ -r "$data/$planted" ] || fail "$planted was not replaced"
done
[ "$(stat -c %a "$data/Part8/texture.tex")" != 0 ] || fail "the file at mode 000 kept its mode"

# Includes out of the music folder and a FIFO: refused, and nothing of the file shows.
mkfifo sources/music/pipe.song
for include in /etc/passwd ../../../../../../etc/passwd pipe.song; do
    printf 'include %s\n' "$include" >>sources/music/super.song
    said "super.song:43: include \"$include\" is " || fail "include $include was not refused"
    sed -i '$d' sources/music/super.song
done
grep -q "root:" err.txt && fail "the content of a refused include was shown"
kill -0 "$show" 2>/dev/null || fail "an include ended the studio"

# A burst of files, then a texture saved: applied once the burst is over; a burst past the
# watch's queue is said and rescanned, and the save in it is not lost.
mkdir sources/junk
before=$(grep -c 'on screen' err.txt)
(cd sources/junk && seq 3000 | xargs touch)
begin=$(date +%s%N)
recolour 252
texture_applied "$before" 60 || fail "a texture saved after a burst of 3,000 files was not applied within 6 s"
echo "burst of 3,000 files: applied $(ms_since "$begin") ms after the save that ended it"
# Stopped, the studio reads nothing while the kernel's queue fills past its end.
before=$(grep -c 'on screen' err.txt)
kill -STOP "$show"
(cd sources/junk && seq 3001 25000 | xargs touch)
recolour 253
kill -CONT "$show"
said "too many changes at once for the watch" 100 || fail "an overflowed watch was not said"
texture_applied "$before" 100 || fail "a texture saved within an overflowed watch was lost"
echo "overflow: $(grep 'too many changes' err.txt | tail -n 1)"

# A source the show needs deleted: said, and the show goes on with the last good texture.
mv "$texture" texture.keep
said "Part8/texture.tex.txt: missing; the show needs Part8/texture.tex" || fail "a deleted texture program was not said"
kill -0 "$show" 2>/dev/null || fail "a deleted source ended the studio"
mv texture.keep "$texture"

# The folder moved away and a copy put in its place: the copy is watched.
mv sources sources.old
said "was moved or deleted" || fail "a moved folder was not said"
[ "$(grep -c "^studio: sources was moved or deleted; the show keeps its data" err.txt)" = 1 ] ||
    fail "a moved folder was not said once, with one prefix"
grep -q "studio: studio:" err.txt && fail "a message was printed with its prefix twice"
cp -r sources.old sources
said "is back; watching it again" 60 || fail "the folder back in place was not watched again"
before=$(grep -c 'on screen' err.txt)
# Everything in the folder put back is built again first, which takes a while under the sanitizers.
recolour 254
texture_applied "$before" 300 || fail "a save in the folder put back was not applied"
# The folder put back is compared whole and everything in it rebuilt: q once that is on screen.
for _ in $(seq 100); do
    count=$(grep -c 'on screen' err.txt)
    sleep 1
    [ "$(grep -c 'on screen' err.txt)" = "$count" ] && break
done
quit "after the folder came back"

# With neither XDG_CACHE_HOME nor HOME, a private folder of the session's own, gone at the end.
env -u XDG_CACHE_HOME -u HOME "$bin" studio --source sources --from 33 --window --scale 1 --mute >out.txt 2>err.txt &
show=$!
window_of_show "studio without HOME"
focus_window
private=$(sed -n 's/^studio: building the data from .* into \(.*\)\/data$/\1/p' err.txt)
[ -n "$private" ] && [ "$(stat -c %a "$private")" = 700 ] || fail "no private cache folder ($private)"
quit "without HOME"
[ -e "$private" ] && fail "the session's private cache was left behind"
echo "every attack was said, bounded and nothing was lost"
