#!/usr/bin/env bash
# Makes the project's Wine prefix once.
set -euo pipefail

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [[ ! -f $WINEPREFIX/.velmora-ready ]]; then
    echo "wine: making the prefix $WINEPREFIX" >&2
    wineboot -i </dev/null >/dev/null 2>&1
    # Let that server write the registry and leave before the prefix counts as made.
    wineserver -w
    touch "$WINEPREFIX/.velmora-ready"
fi
