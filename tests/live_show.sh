#!/bin/sh
# The live show under a real X server, windowed and then full screen: a few seconds in, the
# screen holds the opening's logo fading in (not black, not garbage), and Escape ends the show
# within a second with status 0. Then the player's keys, and the faults a user may meet.
# Skips (77) where Xvfb, openbox, xdotool or ImageMagick is missing.
set -u
bin=$1
data=$2
work=$3
. "$(dirname "$0")/x_session.sh"

# What the opening shows in its first seconds: the logo, faded toward black.
"$bin" convert "$data/Part1/logolight.pcx" logo.png || fail "cannot read the logo"

# $1: a name; $2: the arguments; $3: the rows of black bar above and below the frame.
check() {
    name=$1
    args=$2
    bar=$3
    # shellcheck disable=SC2086
    "$bin" $args --mute --data "$data" >out.txt 2>err.txt &
    show=$!
    window=$(timeout 20 xdotool search --sync --pid "$show" --name "Tindrel application" | head -n 1)
    [ -n "$window" ] || fail "$name: no window appeared"
    sleep 3.5
    # The window's own pixels, wherever the window manager put it and whatever frame it drew.
    import-im6.q16 -silent -window "$window" window.png 2>/dev/null || fail "$name: no screenshot"
    height=$(identify-im6.q16 -format "%h" window.png)
    convert-im6.q16 window.png -gravity center -crop "x$((height - 2 * bar))+0+0" +repage -resize 600x300! "$name.png"
    mean=$(convert-im6.q16 "$name.png" -colorspace gray -format "%[fx:mean]" info:)
    awk "BEGIN { exit !($mean > 0.004) }" || fail "$name: the screen is black (mean $mean)"
    # Normalised cross-correlation ignores the fade's brightness: it asks whether this is the logo.
    ncc=$(compare-im6.q16 -metric NCC "$name.png" logo.png null: 2>&1)
    awk "BEGIN { exit !($ncc > 0.8) }" || fail "$name: the screen does not show the opening's logo (NCC $ncc)"

    # A click gives the window the keyboard as a user's would. SDL takes the focus only after
    # it has held for 200 ms, and drops keys until then: wait well past that.
    xdotool windowactivate "$window" 2>/dev/null
    xdotool mousemove --window "$window" 100 100 click 1
    sleep 1
    start=$(date +%s%N)
    # Pressed as a hand presses it, for a tenth of a second: the press ends the running phase,
    # and every later one finds the key still down. (A tap shorter than a frame would end only
    # the running phase, and the show would go on.)
    xdotool keydown Escape
    sleep 0.1
    xdotool keyup Escape
    ends_within_a_second "$name: Escape did not end the show within a second"
    elapsed=$((($(date +%s%N) - start) / 1000000))
    [ "$status" -eq 0 ] || fail "$name: exit status $status after Escape"
    echo "$name: the opening on screen (mean $mean, NCC $ncc); Escape ended it in ${elapsed} ms, status 0"
    sleep 0.5
}

# A window at scale 1 shows the frame as it is.
check windowed "--window --scale 1" 0
# Full screen on 1280 × 720: the frame scaled to 1280 × 640 between black bars 40 rows high.
check fullscreen "" 40

# The player's keys, in a window at scale 1, as a user presses them.
"$bin" --window --scale 1 --mute --stats --data "$data" >out.txt 2>err.txt &
show=$!
window_of_show player
focus_window
# Space pauses: the picture holds (once the word "paused" has gone, after 1.5 s).
xdotool key space
sleep 1.8
shot paused1.png
sleep 1.5
shot paused2.png
differ=$(compare-im6.q16 -metric AE paused1.png paused2.png null: 2>&1)
[ "$differ" = 0 ] || fail "player: $differ pixels changed in 1.5 s of pause"
# Eight scenes on while paused: the farewell's first frame, all white, still paused, with the
# new position and the scene's title, two lines on a dark panel, over its top-left corner for a
# moment. The last press waits out the flash guard: the scenes passed on the way flashed white
# too, and a flash less than half a second after the last one is skipped.
for _ in 1 2 3 4 5 6 7; do xdotool key Next; done
sleep 0.7
xdotool key Next
sleep 0.5
shot farewell.png
least=$(convert-im6.q16 farewell.png -crop 600x180+0+120 -format "%[fx:minima]" info:)
[ "$least" = 1 ] || fail "player: after eight PageDowns the window is not all white (darkest $least)"
panel=$(convert-im6.q16 farewell.png -crop 300x100+0+0 +repage -threshold 50% -negate -trim -format "%wx%h" info:)
lines=$(echo "$panel" | awk -Fx '{ print ($1 > 120 && $2 > 32 && $2 < 60) ? 2 : 0 }')
[ "$lines" = 2 ] || fail "player: the seek while paused showed no position and title (dark panel $panel)"
sleep 1.5
shot farewell2.png
least=$(convert-im6.q16 farewell2.png -format "%[fx:minima]" info:)
[ "$least" = 1 ] || fail "player: the message did not go, or the seek did not stay paused (darkest $least)"
# s: the frame on screen as `still` writes it, in the folder the show was started in.
xdotool key s
sleep 0.5
[ -f tindrel-36-00.png ] || fail "player: s wrote no tindrel-36-00.png ($(ls))"
"$bin" still 36 0 still.png --data "$data" || fail "player: no still to compare the screenshot with"
[ "$(compare-im6.q16 -metric AE tindrel-36-00.png still.png null: 2>&1)" = 0 ] ||
    fail "player: the screenshot is not the still at order 36, row 0"
sleep 1.7
shot farewell3.png
[ "$(compare-im6.q16 -metric AE farewell2.png farewell3.png null: 2>&1)" = 0 ] || fail "player: the screenshot did not stay paused"
# Space again: the farewell plays on, fading from white.
xdotool key space
sleep 1
shot resumed.png
mean=$(convert-im6.q16 resumed.png -crop 600x180+0+120 -format "%[fx:mean]" info:)
awk "BEGIN { exit !($mean < 0.99) }" || fail "player: Space did not resume (mean $mean)"
# f: full screen on 1280 × 720, the frame at 2:1 between black bars 40 rows high.
xdotool key f
sleep 1.5
import-im6.q16 -silent -window root screen.png 2>/dev/null || fail "player: no screenshot of the screen"
bars=$(convert-im6.q16 screen.png \( -clone 0 -crop 1280x40+0+0 \) \( -clone 0 -crop 1280x40+0+680 \) -delete 0 -append -format "%[fx:maxima]" info:)
picture=$(convert-im6.q16 screen.png -crop 1280x640+0+40 -format "%[fx:mean]" info:)
[ "$bars" = 0 ] || fail "player: full screen has no black bars (brightest $bars)"
awk "BEGIN { exit !($picture > 0.004) }" || fail "player: full screen shows no picture (mean $picture)"
# q quits at once, with status 0 and the pacing on standard error.
xdotool key q
ends_within_a_second "player: q did not quit within a second"
[ "$status" -eq 0 ] || fail "player: exit status $status after q"
stats=$(grep -E '^frames [0-9]+, work per frame p50 [0-9.]+ ms, p99 [0-9.]+ ms, max [0-9.]+ ms; frames late [0-9]+ \(a display refresh missed\)$' err.txt) ||
    fail "player: --stats printed no line"
echo "player: Space held the picture, eight PageDowns showed the farewell's white with its position and title ($panel), s wrote the still's tindrel-36-00.png, f filled the screen at 2:1, q quit with status 0; $stats"

# No display at all, with the video driver left to SDL as on a user's machine: a clear word
# and status 1 at once, not an invisible show.
start=$(date +%s%N)
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$bin" --window --mute --data "$data" >out.txt 2>err.txt
status=$?
elapsed=$((($(date +%s%N) - start) / 1000000))
[ "$status" -eq 1 ] || fail "no display: exit status $status"
[ "$elapsed" -lt 1000 ] || fail "no display: took $elapsed ms"
grep -q "^tindrel: cannot open a display: " err.txt || fail "no display: said \"$(cat err.txt)\""
# Nothing it suggests plays the show where nobody sees it.
grep -q "offscreen\|dummy" err.txt && fail "no display: suggests an invisible show: \"$(cat err.txt)\""
echo "no display: \"$(cat err.txt)\", status 1 in $elapsed ms"

# Faults at run time.
# No sound card to open: the show plays silently and its clock runs, the logo brightening.
SDL_AUDIODRIVER=alsa AUDIODEV=tindrel-no-such-device "$bin" --window --scale 1 --data "$data" >out.txt 2>err.txt &
show=$!
window=$(timeout 20 xdotool search --sync --pid "$show" --name "Tindrel application" | head -n 1)
[ -n "$window" ] || fail "silent: no window appeared"
sleep 2
import-im6.q16 -silent -window "$window" early.png
sleep 2
import-im6.q16 -silent -window "$window" later.png
early=$(convert-im6.q16 early.png -colorspace gray -format "%[fx:mean]" info:)
later=$(convert-im6.q16 later.png -colorspace gray -format "%[fx:mean]" info:)
awk "BEGIN { exit !($later > $early * 1.2) }" || fail "silent: the clock does not run ($early, then $later)"
grep -q "no audio device; playing without sound" err.txt || fail "silent: no word that the sound is missing"
kill -TERM "$show"
wait "$show"
status=$?
show=""
[ "$status" -eq 0 ] || fail "SIGTERM: exit status $status"
echo "without a sound card: the clock runs ($early, then $later); SIGTERM ended the show with status 0"

# SIGINT, as Ctrl-C sends it, ends the show cleanly too.
"$bin" --window --mute --data "$data" >out.txt 2>err.txt &
show=$!
timeout 20 xdotool search --sync --pid "$show" --name "Tindrel application" >/dev/null || fail "SIGINT: no window"
sleep 1
kill -INT "$show"
wait "$show"
status=$?
show=""
[ "$status" -eq 0 ] || fail "SIGINT: exit status $status"
echo "SIGINT ended the show with status 0"

# Broken data: nothing starts, the message names the file, status 255.
broken() {
    what=$1
    file=$2
    message=$3
    rm -rf broken && cp -r "$data" broken
    if [ "$what" = missing ]; then rm "broken/$file"; else printf 'not this' >"broken/$file"; fi
    "$bin" --window --mute --data broken >out.txt 2>err.txt
    status=$?
    [ "$status" -eq 255 ] || fail "$what $file: exit status $status"
    [ "$(cat out.txt)" = "$message" ] || fail "$what $file: said \"$(cat out.txt)\""
    echo "$what $file: \"$message\", status 255"
}
broken missing Super.xm "Super.xm: Could not open file"
broken corrupt Super.xm "Super.xm: Not a supported module file"
broken missing Part9/background.pcx "Part9/background.pcx: Could not open file"
broken corrupt Part7/cones.lwo "Part7/cones.lwo: not an lightwave object file"

# The display lost while the show plays: our one line and status 1, promptly. First another
# client kills the window's connection, as xkill does; then the server itself ends.
lost() {
    what=$1
    "$bin" --window --scale 1 --mute --data "$data" >out.txt 2>err.txt &
    show=$!
    window_of_show "$what"
    # Until the opening shows: the loss is noticed at the next frame, and under the sanitizers
    # the scenes take seconds to load first.
    for _ in $(seq 100); do
        import-im6.q16 -silent -window "$window" drawn.png 2>/dev/null &&
            awk "BEGIN { exit !($(convert-im6.q16 drawn.png -colorspace gray -format "%[fx:mean]" info:) > 0.004) }" && break
        sleep 0.2
    done
    if [ "$what" = "window killed" ]; then xdotool windowkill "$window"; else kill "$xvfb"; fi
    ends_within_a_second "$what: the show went on"
    [ "$status" -eq 1 ] || fail "$what: exit status $status"
    [ "$(cat err.txt)" = "tindrel: the display went away" ] || fail "$what: said \"$(cat err.txt)\""
    echo "$what: \"tindrel: the display went away\", status 1"
}
lost "window killed"
lost "server ended"
