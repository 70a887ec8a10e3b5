#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, with code
# page 936 (Wine takes it from LC_ALL, not LANG) and no debug noise. CMake
# uses it as the cross-compiling emulator.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${VELMORA_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts while a prefix is made. Windows loads a
# DLL named by full path from that path; Wine would take its builtin version.dll
# instead, and the binding tests ship their own beside the program.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;version=n,b}

"$here/wine-prefix.sh"
exec env LC_ALL=zh_CN.UTF-8 wine "$@"
