#!/bin/sh
# The studio's start, cold (an empty cache: only the music is built before the window) and warm
# (nothing changed since the last start), as the time from launch to the first frame on screen,
# under an X server of its own. Usage: bench/studio-start.sh build/tindrel [RUNS]
set -u
bin=$(realpath "$1")
runs=${2:-5}
command -v Xvfb >/dev/null || { echo "needs Xvfb"; exit 77; }
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
display=":$((70 + $$ % 200))"
Xvfb "$display" -screen 0 1280x720x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display" XDG_CACHE_HOME="$work/cache"
sleep 1
cd "$work" && "$bin" new sources >/dev/null || exit 1
# Launch to the studio's "first frame on screen" line, in milliseconds.
once() {
    : >err.txt
    begin=$(date +%s%N)
    "$bin" studio --source sources --window --scale 1 --mute 2>err.txt >/dev/null &
    show=$!
    until grep -q "first frame on screen" err.txt; do sleep 0.005; done
    echo $(( ($(date +%s%N) - begin) / 1000000 ))
    # Cold, the rest is built before the next run.
    for _ in $(seq 600); do grep -q "studio: data ready" err.txt && break; sleep 0.05; done
    kill "$show"
    wait "$show" 2>/dev/null
}
for kind in cold warm; do
    times=""
    for _ in $(seq "$runs"); do
        [ "$kind" = cold ] && rm -rf "$work/cache"
        times="$times $(once)"
    done
    echo "$kind start to first frame (ms):$times"
done
