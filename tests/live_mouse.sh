#!/bin/sh
# The player's mouse and its text under a real X server, as a media player's user tries them:
# the wheel seeks, a right click pauses, a click on the bar's middle goes to half the show, the
# pointer shows when moved and hides after a second, and the display fits a 200 × 100 window
# as well as the full screen. Positions are read from the names the s key gives its pictures.
# Skips (77) where Xvfb, openbox, xdotool, ImageMagick or ffmpeg is missing.
set -u
bin=$1
data=$2
work=$3
command -v ffmpeg >/dev/null 2>&1 || { echo "skipped: ffmpeg is not installed"; exit 77; }
. "$(dirname "$0")/x_session.sh"

# The position of the newest picture the s key wrote, as ORDER ROW.
saved=0
position() {
    xdotool key s
    for _ in $(seq 20); do
        [ "$(ls tindrel-*.png 2>/dev/null | wc -l)" -gt "$saved" ] && break
        sleep 0.1
    done
    newest=$(ls -t tindrel-*.png 2>/dev/null | head -n 1)
    [ -n "$newest" ] || fail "$1: s wrote no picture"
    saved=$((saved + 1))
    echo "$newest" | sed -E 's/^tindrel-([0-9]+)-([0-9]+)(-[0-9]+)?\.png$/\1 \2/' | sed 's/^0*\([0-9]\)/\1/; s/ 0*\([0-9]\)/ \1/'
}
# The row after ORDER ROW, as ORDER ROW: every order of the song has 64.
next_row() { if [ "$2" -eq 63 ]; then echo "$(($1 + 1)) 0"; else echo "$1 $(($2 + 1))"; fi; }
# The screen as X draws it, with the pointer (pointer.png) and without (bare.png), in the same
# moment: ffmpeg draws the cursor X would show, and nothing for a hidden one.
grab() {
    ffmpeg -loglevel error -y -f x11grab -draw_mouse 1 -i "$DISPLAY" -f x11grab -draw_mouse 0 -i "$DISPLAY" \
        -map 0 -frames:v 1 pointer.png -map 1 -frames:v 1 bare.png || fail "ffmpeg could not grab the screen"
    compare-im6.q16 -metric AE pointer.png bare.png null: 2>&1
}
# The pointer's pixels just after it moves to $1 $2 (of the show's window, or of the screen with
# no window): a grab that starts late, on a loaded machine, finds it hidden, so it moves again.
moved_grab() {
    for _ in 1 2 3; do
        if [ -n "${window:-}" ]; then xdotool mousemove --window "$window" "$1" "$2"; else xdotool mousemove "$1" "$2"; fi
        sleep 0.1
        pixels=$(grab)
        [ "$pixels" -gt 20 ] && break
        set -- $(($1 + 5)) "$2"
    done
    echo "$pixels"
}
# The pointer's pixels once still for 1.5 s, asked again for a while on a machine that lags.
still_grab() {
    sleep 1.5
    for _ in 1 2 3 4; do
        pixels=$(grab)
        [ "$pixels" = 0 ] && break
        sleep 0.5
    done
    echo "$pixels"
}

"$bin" --window --scale 1 --mute --from 11 --data "$data" >out.txt 2>err.txt &
show=$!
window_of_show mouse
focus_window
# A right click in the middle pauses: the picture holds (once the word "paused" has gone).
xdotool mousemove --window "$window" 300 150 click 3
sleep 1.8
shot held1.png
sleep 1.5
shot held2.png
differ=$(compare-im6.q16 -metric AE held1.png held2.png null: 2>&1)
[ "$differ" = 0 ] || fail "right click: $differ pixels changed in 1.5 s"
echo "right click: the picture held for 1.5 s"
# A 600 × 300 picture scaled into a window is the processor's work: no GPU driver is loaded (a
# driver's shader cache on a full disk brought the show down).
driver=$(grep -oE '[^/ ]*(libGLX|libGL\.so|libEGL|_dri\.so|libvulkan)[^ ]*' "/proc/$show/maps" | sort -u | tr '\n' ' ')
[ -z "$driver" ] || fail "the display loaded a GPU driver: $driver"

# A frame step from the paused frame is 1/60 s on: the same row or the next (a row is 0.12 s),
# never rows away.
set -- $(position "paused")
order=$1 row=$2
xdotool key period
sleep 0.3
set -- $(position "a frame step")
[ "$1 $2" = "$order $row" ] || [ "$1 $2" = "$(next_row "$order" "$row")" ] ||
    fail "a frame step from the paused $order:$row went to $1:$2"
echo "a frame step: from the paused $order:$row to $1:$2"

# The wheel: up twice is two orders on, down once one back; the row stays.
order=$1 row=$2
xdotool click 4
xdotool click 4
sleep 0.3
set -- $(position "wheel up")
[ "$1 $2" = "$((order + 2)) $row" ] || fail "wheel up twice went from $order:$row to $1:$2"
xdotool click 5
sleep 0.3
set -- $(position "wheel down")
[ "$1 $2" = "$((order + 1)) $row" ] || fail "wheel down went from $((order + 2)):$row to $1:$2"
# Shift and an arrow: one row.
xdotool key shift+Right
sleep 0.3
set -- $(position "Shift+Right")
[ "$1 $2" = "$(next_row $((order + 1)) "$row")" ] || fail "Shift+Right went from $((order + 1)):$row to $1:$2"
echo "wheel: $order:$row, up twice $((order + 2)):$row, down once $((order + 1)):$row; Shift+Right one row on"
# The bar's middle: the row playing at half the song, 2:22 of 4:44 (a row is 0.12 s long).
xdotool mousemove --window "$window" 300 295 click 1
sleep 0.3
set -- $(position "the bar")
seconds=$(awk "BEGIN { print ($1 * 64 + $2) * 0.12 }")
awk "BEGIN { exit !($seconds > 140 && $seconds < 144) }" || fail "a click on the bar's middle went to $1:$2, $seconds s"
"$bin" still "$1" "$2" bar-still.png --data "$data" || fail "no still to compare with"
[ "$(compare-im6.q16 -metric AE "$(ls -t tindrel-*.png | head -n 1)" bar-still.png null: 2>&1)" = 0 ] ||
    fail "the bar's seek does not show the still at $1:$2"
echo "the bar's middle: order $1 row $2, $seconds s of 284.16"

# The pointer: still for 1.5 s, it is gone; moved, it is there, where xdotool says.
hidden=$(still_grab)
[ "$hidden" = 0 ] || fail "the pointer still shows after 1.5 s of stillness ($hidden pixels)"
shown=$(moved_grab 200 100)
eval "$(xdotool getmouselocation --shell)"
px=$X py=$Y; eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$px" -ge "$X" ] && [ "$px" -lt $((X + WIDTH)) ] && [ "$py" -ge "$Y" ] && [ "$py" -lt $((Y + HEIGHT)) ] ||
    fail "the pointer is at $px,$py, off the window at $X,$Y ${WIDTH}x$HEIGHT"
[ "$shown" -gt 20 ] || fail "the moved pointer does not show ($shown pixels)"
again=$(still_grab)
[ "$again" = 0 ] || fail "the pointer shows again after 1.5 s ($again pixels)"
echo "pointer: hidden after 1.5 s still, shown when moved over the window ($shown pixels at $px,$py), hidden again"

# The display over the farewell's white first frame, at 200 × 100 and full screen: the dark
# panel of its lines lies whole inside the picture. Each press waits out the flash guard, which
# skips a flash less than half a second after the last one shown.
xdotool key o
for _ in 1 2 3 4 5 6 7 8; do xdotool key Next; sleep 0.6; done
sleep 1
whole() {
    name=$1
    width=$2
    height=$3
    sleep 0.8
    shot "$name.png"
    # Left of the picture and above its foot (the bar), the darkest pixels are the panel's.
    box=$(convert-im6.q16 "$name.png" -crop "${width}x$((height * 8 / 10))+0+0" +repage -threshold 40% -negate \
        -trim -format "%w %h %X %Y" info:)
    set -- $box
    [ "$1" -lt "$width" ] && [ "$3" -ge 1 ] && [ "$4" -ge 1 ] && [ $(($1 + $3)) -le $((width - 1)) ] ||
        fail "$name: the display's panel ($box) does not lie inside the picture"
    echo "$name: the display's panel is ${1}x$2 at $3,$4, inside the ${width}x$height picture"
}
xdotool windowsize "$window" 200 100
whole display-200x100 200 100
xdotool key f
sleep 1
import-im6.q16 -silent -window root screen.png 2>/dev/null || fail "no screenshot of the screen"
convert-im6.q16 screen.png -crop 1280x640+0+40 +repage display-1280x640.png
cp display-1280x640.png fullscreen.png
shot() { cp fullscreen.png "$1"; }
whole display-1280x640 1280 640
# Full screen, the pointer shows when moved and hides again, as in the window.
window=""
shown=$(moved_grab 640 300)
[ "$shown" -gt 20 ] || fail "full screen: the moved pointer does not show ($shown pixels)"
again=$(still_grab)
[ "$again" = 0 ] || fail "full screen: the pointer shows after 1.5 s ($again pixels)"
echo "full screen: the pointer shown when moved ($shown pixels), hidden 1.5 s later"
xdotool key q
ends_within_a_second "q did not quit"
[ "$status" -eq 0 ] || fail "exit status $status after q"

# A full disk under the cache folder, where a GPU driver would keep its shaders (and, with a GL
# renderer, died of SIGBUS): the show plays on until SIGINT ends it with status 0. A file system
# of its own needs a mount namespace; without one, this part is left out.
mkdir -p full
if unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs full' 2>/dev/null; then
    unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs full && { dd if=/dev/zero of=full/fill bs=4k 2>/dev/null; true; } &&
        XDG_CACHE_HOME="$PWD/full" timeout --preserve-status -s INT 4 "$1" --window --scale 1 --mute --data "$2" >out.txt 2>err.txt' \
        sh "$bin" "$data"
    status=$?
    [ "$status" -eq 0 ] || fail "with the cache's disk full: exit status $status"
    echo "the cache's disk full: the show played 4 s and ended with status 0"
else
    echo "the cache's disk full: left out, no mount namespace here"
fi
