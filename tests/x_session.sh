# Sourced by the tests of the live program: an X server of its own with a window manager (full
# screen needs one to honour it), torn down on exit with whatever program "$show" names.
# Expects $work; leaves the working directory there. Skips (77) where a tool is missing.
for tool in Xvfb openbox xdotool convert-im6.q16 compare-im6.q16 import-im6.q16 identify-im6.q16; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

display=":$((70 + $$ % 200))"
Xvfb "$display" -screen 0 1280x720x24 -nolisten tcp >xvfb.log 2>&1 &
xvfb=$!
wm=""
show=""
cleanup() {
    [ -n "$show" ] && kill "$show" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
export DISPLAY="$display"
# Under the sanitizers, the GL driver the display loads and unloads keeps memory LeakSanitizer
# can no longer name; our own leaks are checked by the offline runs, which load no driver.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >openbox.log 2>&1 &
wm=$!
sleep 1

fail() { echo "FAIL: $*"; echo "--- stdout"; cat out.txt; echo "--- stderr"; cat err.txt; exit 1; }

# The window of the program just started as "$show", given the keyboard as a user's click gives
# it. SDL takes the focus only after it has held for 200 ms, and drops keys until then.
window_of_show() {
    # xdotool gives up when a window vanishes while it searches (a killed one's frame, say):
    # ask again.
    for _ in 1 2 3; do
        window=$(timeout 20 xdotool search --sync --pid "$show" --name "Tindrel application" 2>/dev/null | head -n 1)
        [ -n "$window" ] && return
    done
    fail "$1: no window appeared"
}
focus_window() {
    xdotool windowactivate "$window" 2>/dev/null
    xdotool mousemove --window "$window" 100 100 click 1
    sleep 1
}
shot() { import-im6.q16 -silent -window "$window" "$1" 2>/dev/null || fail "no screenshot $1"; }
# Waits up to a second for "$show" to end, failing with $1 if it runs on; its status in $status.
ends_within_a_second() {
    for _ in $(seq 20); do kill -0 "$show" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$show" 2>/dev/null && fail "$1"
    wait "$show"
    status=$?
    show=""
}
