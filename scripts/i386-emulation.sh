#!/usr/bin/env bash
# Lets a machine whose kernel has no 32-bit support run Debian's 32-bit Wine,
# and with it Velmora and its tests: registers QEMU's i386 user-mode emulator
# for 32-bit programs. Bookworm's own QEMU leaves the trap number out of the
# signal context, and Wine then takes every page fault for an unknown trap;
# the emulator therefore comes from $SUITE-backports, cached by version.
# On a kernel that runs 32-bit programs, or once registered, it does nothing.
#
# Environment: see scripts/lib/deps-common.sh; VELMORA_DEBIAN_MIRROR.
set -euo pipefail

LOG_TAG=i386
PACKAGES=()
# shellcheck source=lib/deps-common.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib/deps-common.sh"

BINFMT=/proc/sys/fs/binfmt_misc
ENTRY=$BINFMT/velmora-i386
MIRROR=${VELMORA_DEBIAN_MIRROR:-http://deb.debian.org/debian}
QEMU_DIR=$ROOT/qemu-user

[[ -f $ENTRY ]] && exit 0
status=0
/usr/lib/wine/wine --version >/dev/null 2>&1 || status=$?
[[ $status -eq 126 ]] || exit 0  # runs natively (or Wine is missing: setup says so)

if [[ $(id -u) -ne 0 ]]; then  # building needs no 32-bit program; running does
    log "this kernel cannot run 32-bit programs; run 'make test' as root once to register an emulator"
    exit 0
fi
[[ -e $BINFMT/register ]] || mount -t binfmt_misc binfmt_misc "$BINFMT"

# A private apt state: the system's sources and lists stay as they are, and
# apt still checks the backports archive's signature.
apt_private() {
    apt-get -q -o APT::Sandbox::User=root -o Dir::Etc::SourceList="$QEMU_DIR/sources.list" -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State::Lists="$QEMU_DIR/lists" -o Dir::Cache="$QEMU_DIR/cache" "$@"
}

emulator=$(ls -d "$QEMU_DIR"/*/qemu-i386 2>/dev/null | sort -V | tail -n 1 || true)
if [[ -z $emulator ]]; then
    log "fetching QEMU's user-mode emulator from $SUITE-backports"
    mkdir -p "$QEMU_DIR/lists/partial" "$QEMU_DIR/cache/archives/partial"
    echo "deb $MIRROR $SUITE-backports main" >"$QEMU_DIR/sources.list"
    apt_private update >/dev/null
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    (cd "$work" && apt_private download "qemu-user/$SUITE-backports" >/dev/null)
    deb=$(ls "$work"/qemu-user_*.deb)
    version=$(dpkg-deb -f "$deb" Version)
    dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work" ./usr/bin/qemu-i386
    mkdir -p "$QEMU_DIR/${version//:/_}"
    emulator=$QEMU_DIR/${version//:/_}/qemu-i386
    mv "$work/usr/bin/qemu-i386" "$emulator"
fi

# The i386 ELF executable header; F opens the emulator now, so it serves
# every mount namespace and chroot alike.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":velmora-i386:M::$magic:$mask:$emulator:F" >"$BINFMT/register"
log "32-bit programs now run through $emulator"
