#!/usr/bin/env bash
# Runs a command with a display and a warm Wine prefix: starts Xvfb when no
# display is set and a persistent wineserver, and stops both afterwards.
# VELMORA_TEST_DESKS=n also makes n desks, each a prefix of its own with a
# wineserver and an Xvfb display of its own, for the tests that start the
# program: only one copy of it runs per Wine session, and its windows and
# drops want a screen to themselves. wine-run.sh hands them out.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$here/.." && pwd)/build
export VELMORA_WINEPREFIX=${VELMORA_WINEPREFIX:-$build/wineprefix}
export WINEPREFIX=$VELMORA_WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}

xvfb_pids=()
prefixes=("$WINEPREFIX")
cleanup() {
    local prefix
    for prefix in "${prefixes[@]}"; do WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true; done
    for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# Starts Xvfb on the first free display and names it in $xvfb_display.
start_xvfb() {
    local n
    for n in $(seq 90 130); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pids+=($!)
        for _ in $(seq 50); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            sleep 0.1
        done
        xvfb_display=:$n
        return 0
    done
    echo "no free display for Xvfb" >&2
    return 1
}

# Wine's helper processes inherit the descriptors of the wine call that starts
# them; start them here with none, or ctest would wait for them to close.
warm() {
    WINEPREFIX=$1 wineserver -p </dev/null >/dev/null 2>&1 || true  # one may already run
    VELMORA_WINEPREFIX=$1 "$here/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

if [[ -z ${DISPLAY:-} ]]; then
    start_xvfb
    export DISPLAY=$xvfb_display
fi
"$here/wine-prefix.sh"

# A desk's prefix is a copy of the made one, remade when that is remade
# (wine-prefix.sh leaves one ready mark).
ready=("$WINEPREFIX"/.velmora-ready-*)
desks=()
for n in $(seq "${VELMORA_TEST_DESKS:-0}"); do
    prefix=$build/wineprefix-desk$n
    if [[ ! -f $prefix/.velmora-desk || ${ready[0]} -nt $prefix/.velmora-desk ]]; then
        rm -rf "$prefix"
        cp -a "$WINEPREFIX" "$prefix"
        touch "$prefix/.velmora-desk"
    fi
    start_xvfb
    prefixes+=("$prefix")
    desks+=("$prefix@$xvfb_display")
done
export VELMORA_DESKS="${desks[*]}"

warm "$WINEPREFIX"
for desk in "${desks[@]}"; do DISPLAY=${desk#*@} warm "${desk%@*}"; done
"$@"
