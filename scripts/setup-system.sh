#!/usr/bin/env bash
# Installs what building and testing need on Debian, and only what is missing:
# the i386 architecture (for wine32), deb-src entries (for apt-get source), and
# the packages below. A second run changes nothing and asks no network.
set -euo pipefail

PACKAGES=(
    g++-mingw-w64-i686 libz-mingw-w64-dev cmake make dpkg-dev patch python3 clang-format git
    wine wine32:i386 fonts-wine xvfb x11-utils fonts-wqy-microhei imagemagick netpbm ffmpeg openssl
    locales gcovr
)
# Wine takes code page 936 from LC_ALL; file names with Chinese characters
# also need the locale itself, or Wine cannot turn them into Unix paths.
LOCALE=zh_CN.UTF-8

log() { echo "setup: $*" >&2; }

installed() {
    [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
}

has_deb_src() {
    grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/
}

missing=()
for package in "${PACKAGES[@]}"; do installed "$package" || missing+=("$package"); done
need_i386=false
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=true
need_src=false
has_deb_src || need_src=true
need_locale=false
locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' || need_locale=true

if [[ ${#missing[@]} -eq 0 && $need_i386 == false && $need_src == false && $need_locale == false ]]; then
    exit 0
fi
if [[ $(id -u) -ne 0 ]]; then
    log "missing: ${missing[*]:-} ${need_i386:+(i386 architecture: $need_i386)} (deb-src: $need_src)"
    log "run 'make test' as root once, or install these yourself"
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if $need_i386; then
    log "adding the i386 architecture"
    dpkg --add-architecture i386
fi
if $need_src; then
    log "enabling source package entries"
    for sources in /etc/apt/sources.list.d/*.sources; do
        [[ -f $sources ]] && sed -i -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb deb-src/' "$sources"
    done
    if [[ -f /etc/apt/sources.list ]]; then
        sed -n -E 's/^deb[[:space:]]+/deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/velmora-src.list
        [[ -s /etc/apt/sources.list.d/velmora-src.list ]] || rm -f /etc/apt/sources.list.d/velmora-src.list
    fi
fi
if [[ ${#missing[@]} -gt 0 || $need_src == true ]]; then
    log "installing: ${missing[*]:-(none)}"
    # A mirror caught in the middle of a sync fails part of the update for a
    # while; the lists it did read may still hold everything needed.
    for try in 1 2 3; do
        apt-get update -q && break
        log "some package lists could not be read; trying again in 20 s"
        sleep 20
    done
    [[ ${#missing[@]} -eq 0 ]] || apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if $need_locale; then
    log "generating the $LOCALE locale"
    sed -i -E "s/^# *($LOCALE UTF-8)/\1/" /etc/locale.gen
    grep -q "^$LOCALE UTF-8" /etc/locale.gen || echo "$LOCALE UTF-8" >> /etc/locale.gen
    locale-gen >/dev/null
fi
