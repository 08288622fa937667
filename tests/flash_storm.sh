#!/bin/sh
# Right held for 3 s in the desktop player, from the start, as a key repeats (30 presses a
# second): the window is recorded at 60 frames a second and no second of it holds more than 3
# white flashes. A flash is a frame at least a tenth of white brighter than the frame before.
# Skips (77) where Xvfb, openbox, xdotool, ImageMagick or ffmpeg is missing.
set -u
bin=$1
data=$2
work=$3
command -v ffmpeg >/dev/null 2>&1 || { echo "skipped: ffmpeg is not installed"; exit 77; }
. "$(dirname "$0")/x_session.sh"

storm() {
    name=$1
    shift
    "$bin" --window --scale 1 --mute --data "$data" "$@" >out.txt 2>err.txt &
    show=$!
    window_of_show "$name"
    focus_window
    eval "$(xdotool getwindowgeometry --shell "$window")"
    # The window's inside, recorded while the key is held; the light of each frame, 0 to 255.
    ffmpeg -loglevel fatal -f x11grab -framerate 60 -video_size 600x300 -i "$DISPLAY+$X,$Y" -t 3.5 \
        -vf "format=gray,signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=$name-light.txt" -f null - &
    recorder=$!
    sleep 0.2
    xdotool key --delay 33 --repeat 90 Right
    wait "$recorder" || fail "$name: no recording"
    xdotool key q
    ends_within_a_second "$name: q did not end the show"
    # Each frame's light in turn; a flash starts where it rises by 25 or more.
    most=$(awk -F= '/YAVG/ { light[n++] = $2 }
        END {
            for (i = 1; i < n; ++i) if (light[i] - light[i - 1] >= 25) start[s++] = i
            for (i = 0; i < s; ++i) { c = 0; for (j = i; j < s && start[j] < start[i] + 60; ++j) ++c; if (c > most) most = c }
            printf "%d %d %d\n", most, s, n
        }' "$name-light.txt")
    set -- $most
    echo "$name: $2 flashes in $3 frames, at most $1 in a second"
    [ "$3" -ge 100 ] || fail "$name: only $3 frames recorded"
    [ "$1" -le 3 ] || fail "$name: $1 white flashes in one second"
}

storm plain
storm gentle --gentle
