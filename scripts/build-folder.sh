# Sourced by the scripts that build: a build folder belongs to the checkout it is in.
# CMake writes absolute paths into a build folder, so one copied with its checkout would build,
# install and configure in the original. Such a folder is named and made afresh here; nothing
# of the original is read or written.

# own_build_folder DIR: DIR is left alone when it is missing or was configured where it stands;
# otherwise it is removed (the folder, never what a link there leads to) for a fresh configure.
own_build_folder() {
    cache="$1/CMakeCache.txt"
    [ -f "$cache" ] || return 0
    made_in=$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "$cache")
    here=$(cd "$1" && pwd)
    real=$(cd "$1" && pwd -P)
    [ "$made_in" = "$here" ] || [ "$made_in" = "$real" ] && return 0
    echo "$(basename "$0"): $1 was configured in $made_in, not here (a copied checkout); configuring it afresh" >&2
    rm -rf "${1%/}"
}

# cmake_checked ARGS...: cmake, failing on any "CMake Error" it prints, whatever its status.
cmake_checked() {
    log=$(mktemp)
    status=0
    cmake "$@" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ] || grep -q "CMake Error" "$log"; then
        cat "$log" >&2
        rm -f "$log"
        echo "$(basename "$0"): cmake $* failed" >&2
        exit 1
    fi
    rm -f "$log"
}
