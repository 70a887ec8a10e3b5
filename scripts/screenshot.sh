#!/usr/bin/env bash
# Starts a Windows program of ours inside a Wine virtual desktop (so that Wine
# draws the window frames itself, as Windows would), waits, saves a screenshot
# of the desktop, and stops the program.
#   scripts/screenshot.sh OUTPUT.png SECONDS PROGRAM.exe [ARGS...]
set -euo pipefail

[[ $# -ge 3 ]] || { echo "usage: $0 OUTPUT.png SECONDS PROGRAM.exe [ARGS...]" >&2; exit 2; }
output=$(realpath -m "$1") seconds=$2
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The wineserver stops when with-test-env.sh ends, and the program with it.
"$here/with-test-env.sh" bash -c '
    here=$0 seconds=$1 output=$2
    shift 2
    "$here/wine-run.sh" explorer "/desktop=velmora-shot,800x600" "$@" >/dev/null 2>&1 &
    sleep "$seconds"
    import -window root -crop 800x600+0+0 +repage "$output"
' "$here" "$seconds" "$output" "$@"
echo "screenshot: $output"
