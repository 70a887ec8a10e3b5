#!/usr/bin/env bash
# Makes the project's Wine prefix once.
set -euo pipefail

# Velmora and its tests are 32-bit programs, and Debian's Wine runs them in a
# 32-bit process: a kernel without its 32-bit emulation cannot start one
# unless scripts/i386-emulation.sh has registered an emulator.
status=0
[[ -x /usr/lib/wine/wine ]] && { /usr/lib/wine/wine --version >/dev/null 2>&1 || status=$?; }
if [[ $status -eq 126 ]]; then
    echo "wine: this machine cannot run 32-bit programs; run scripts/i386-emulation.sh" \
        "as root (make test does) to run them through QEMU" >&2
    exit 1
fi

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
# with-test-env.sh remakes its desks when this mark is newer than theirs; its
# number goes up whenever what the prefix holds changes, so older prefixes are
# made again.
ready=$WINEPREFIX/.velmora-ready-3
if [[ ! -f $ready ]]; then
    echo "wine: making the prefix $WINEPREFIX" >&2
    wineboot -i </dev/null >/dev/null 2>&1
    # A crashing program leaves a backtrace on its standard error and ends:
    # the debugger starts unasked and shows no dialog that would wait for a
    # click until the test's time runs out.
    aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
    wine reg add "$aedebug" /v Debugger /t REG_SZ /d 'winedbg --auto %ld %ld' /f \
        </dev/null >/dev/null 2>&1
    wine reg add "$aedebug" /v Auto /t REG_SZ /d 1 /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        </dev/null >/dev/null 2>&1
    # Let that server write the registry and leave before the prefix counts as made.
    wineserver -w
    rm -f "$WINEPREFIX"/.velmora-ready-*
    touch "$ready"
fi

# Wine draws the caption buttons with the Marlett font. Debian's Wine does not
# find the fonts it ships (fonts-wine) on its own, and without Marlett the
# buttons show the letters that stand for its glyphs; a font in the prefix's
# Fonts folder is always found.
marlett=/usr/share/wine/fonts/marlett.ttf
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [[ -f $marlett ]] && ! cmp -s "$marlett" "$fonts/marlett.ttf"; then
    mkdir -p "$fonts"
    cp "$marlett" "$fonts/marlett.ttf"
fi
