#!/bin/sh
# Right held for 3 s in the desktop player, from the start, as a key repeats (30 presses a
# second): the window is recorded at 60 frames a second and no second of it holds more than 3
# white flashes. A white flash is a frame at least two fifths white (100 of 255), reached by a
# rise of at least a tenth of white (25) from the frame before; a cut between scenes, none of
# which is that bright, is not one. With gentle flashes no frame is brighter than two fifths.
# Skips (77) where Xvfb, openbox, xdotool, ImageMagick or ffmpeg is missing.
set -u
bin=$1
data=$2
work=$3
command -v ffmpeg >/dev/null 2>&1 || { echo "skipped: ffmpeg is not installed"; exit 77; }
. "$(dirname "$0")/x_session.sh"

# $1: a name; $2: the most light any frame may have; then the player's arguments.
storm() {
    name=$1
    brightest=$2
    shift 2
    "$bin" --window --scale 1 --mute --data "$data" "$@" >out.txt 2>err.txt &
    show=$!
    window_of_show "$name"
    focus_window
    eval "$(xdotool getwindowgeometry --shell "$window")"
    # The window's inside, recorded while the key is held; the light of each frame, 0 to 255.
    ffmpeg -loglevel fatal -f x11grab -framerate 60 -video_size 600x300 -i "$DISPLAY+$X,$Y" -t 4.5 \
        -vf "format=gray,signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=$name-light.txt" -f null - &
    recorder=$!
    # Under way before the first press.
    sleep 1
    xdotool key --delay 33 --repeat 90 Right
    wait "$recorder" || fail "$name: no recording"
    xdotool key q
    ends_within_a_second "$name: q did not end the show"
    # Each frame's light in turn.
    most=$(awk -F= '/YAVG/ { light[n++] = $2 }
        END {
            for (i = 1; i < n; ++i) if (light[i] >= 100 && light[i] - light[i - 1] >= 25) start[s++] = i
            for (i = 0; i < s; ++i) { c = 0; for (j = i; j < s && start[j] < start[i] + 60; ++j) ++c; if (c > most) most = c }
            for (i = 0; i < n; ++i) if (light[i] > top) top = light[i]
            printf "%d %d %d %d\n", most, s, n, top
        }' "$name-light.txt")
    set -- $most
    echo "$name: $2 flashes in $3 frames, at most $1 in a second; the brightest frame $4 of 255"
    [ "$4" -le "$brightest" ] || fail "$name: a frame of $4 of 255"
    [ "$3" -ge 150 ] || fail "$name: only $3 frames recorded"
    # White flashes are shown, fewer: the recording saw the seeks.
    [ "$brightest" -le 104 ] || [ "$2" -ge 1 ] || fail "$name: no white flash recorded"
    [ "$1" -le 3 ] || fail "$name: $1 white flashes in one second"
}

storm plain 255
storm gentle 104 --gentle
