#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, with code
# page 936 (Wine takes it from LC_ALL, not LANG) and no debug noise. CMake
# uses it as the cross-compiling emulator.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# A test that starts the program (VELMORA_TAKE_DESK) runs on a free desk of
# with-test-env.sh's, and waits while all are taken. flock -o keeps the lock
# from Wine's helper processes, which outlive the test.
if [[ -n ${VELMORA_TAKE_DESK:-} && -n ${VELMORA_DESKS:-} ]]; then
    read -r -a desks <<<"$VELMORA_DESKS"
    busy=213  # no test ends with it
    while true; do
        for desk in "${desks[@]}"; do
            status=0
            VELMORA_TAKE_DESK='' VELMORA_WINEPREFIX=${desk%@*} DISPLAY=${desk#*@} \
                flock -n -o -E "$busy" "${desk%@*}.desk" "$0" "$@" || status=$?
            [[ $status -eq $busy ]] || exit "$status"
        done
        sleep 0.5
    done
fi
export WINEPREFIX=${VELMORA_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts while a prefix is made. Windows loads a
# DLL named by full path from that path; Wine would take its builtin version.dll
# instead, and the binding tests ship their own beside the program.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;version=n,b}

# Velmora follows the proxy of the system's Internet Settings; Wine's WinINet
# would also take one from the Unix environment when those name none, and a
# proxy for the build machine's downloads cannot reach the tests' servers.
unset http_proxy https_proxy no_proxy

"$here/wine-prefix.sh"
exec env LC_ALL=zh_CN.UTF-8 wine "$@"
