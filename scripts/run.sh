#!/usr/bin/env bash
# Starts Velmora for a person on the current display (Xvfb when there is
# none), under Wine with the project's prefix, code page 936 and the CJK font.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$here/.." && pwd)/${BUILD_DIR:-build}
if [[ -n ${DISPLAY:-} ]]; then
    export VELMORA_WINEPREFIX=${VELMORA_WINEPREFIX:-$build/wineprefix}
    exec "$here/wine-run.sh" "$build/app/Velmora.exe"
fi
exec "$here/with-test-env.sh" "$here/wine-run.sh" "$build/app/Velmora.exe"
