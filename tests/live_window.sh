#!/bin/sh
# The live show in a window under a real X server: frames appear, and Escape ends it at once
# with status 0. Skips (77) where Xvfb or xdotool is missing.
set -u
bin=$1
work=$2
for tool in Xvfb xdotool convert-im6.q16; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

display=":$((70 + $$ % 200))"
Xvfb "$display" -screen 0 1280x720x24 -nolisten tcp >xvfb.log 2>&1 &
xvfb=$!
show=""
cleanup() {
    [ -n "$show" ] && kill "$show" 2>/dev/null
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

fail() { echo "FAIL: $*"; echo "--- stdout"; cat out.txt; echo "--- stderr"; cat err.txt; exit 1; }

# Order 36 is the closing picture: a white flash that fades into the picture.
"$bin" --window --scale 1 --from 36 >out.txt 2>err.txt &
show=$!
window=$(timeout 20 xdotool search --sync --name "Tindrel application" | head -n 1)
[ -n "$window" ] || fail "no window appeared"
sleep 2
convert-im6.q16 x:root -crop 600x300+340+210 shot.png 2>/dev/null || xwd -root -silent | convert-im6.q16 xwd:- shot.png
mean=$(convert-im6.q16 shot.png -colorspace gray -format "%[fx:mean]" info:)
awk "BEGIN { exit !($mean > 0.05) }" || fail "the window shows nothing (mean brightness $mean)"

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
start=$(date +%s%N)
xdotool key Escape
for _ in $(seq 50); do kill -0 "$show" 2>/dev/null || break; sleep 0.1; done
kill -0 "$show" 2>/dev/null && fail "Escape did not end the show within 5 s"
wait "$show"
status=$?
show=""
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$status" -eq 0 ] || fail "exit status $status after Escape"
echo "frames shown (mean brightness $mean); Escape ended the show in ${elapsed} ms with status 0"
