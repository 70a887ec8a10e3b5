#!/usr/bin/env bash
# Runs a command with a display and a warm Wine prefix: starts Xvfb when no
# display is set and a persistent wineserver, and stops both afterwards.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export VELMORA_WINEPREFIX=${VELMORA_WINEPREFIX:-$(cd "$here/.." && pwd)/build/wineprefix}
export WINEPREFIX=$VELMORA_WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}

xvfb_pid=
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [[ -z ${DISPLAY:-} ]]; then
    for n in $(seq 90 130); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            sleep 0.1
        done
        export DISPLAY=:$n
        break
    done
    [[ -n ${DISPLAY:-} ]] || { echo "no free display for Xvfb" >&2; exit 1; }
fi

"$here/wine-prefix.sh"
# Wine's helper processes inherit the descriptors of the wine call that starts
# them; start them here with none, or ctest would wait for them to close.
wineserver -p </dev/null >/dev/null 2>&1 || true  # one may already run
"$here/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
"$@"
