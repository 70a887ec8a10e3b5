#!/usr/bin/env bash
# Makes the release zip Velmora-<version>.zip: Velmora.exe, tool\ffmpeg.exe,
# README.txt (the README's user guides) and in licenses\ the licence texts of
# everything linked into the two programs, with where ffmpeg's source is and
# how it was configured. Texts have CR LF line ends; README.txt is UTF-8 with
# a byte-order mark, which Notepad reads as UTF-8.
#
# usage: scripts/make-dist.sh VELMORA_EXE FFMPEG_EXE OUTPUT_ZIP
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
(($# == 3)) || { echo "usage: $0 VELMORA_EXE FFMPEG_EXE OUTPUT_ZIP" >&2; exit 2; }
velmora=$1 ffmpeg=$2 zip=$(realpath -m "$3")

LOG_TAG=dist
PACKAGES=(ffmpeg libpng1.6 libjpeg-turbo)
# shellcheck source=lib/deps-common.sh
. "$here/lib/deps-common.sh"
# Which versions the build took, as its scripts recorded them.
for VERSIONS_FILE in "$ROOT/tools/versions-$SUITE" "$ROOT/deps/versions-$SUITE"; do
    [[ -f $VERSIONS_FILE ]] && load_recorded_versions || true
done
for p in "${PACKAGES[@]}"; do
    [[ -n ${VER[$p]:-} ]] || die "no recorded version of $p: build first"
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/tool" "$stage/licenses"

# A text file with CR LF line ends, for Notepad.
crlf() { sed 's/\r$//; s/$/\r/' "$@"; }
# One file out of a package's original source tarball, kept in the cache.
from_source() {  # package file-in-tarball
    local upstream=${VER[$1]%-*} tarball
    tarball=$(compgen -G "$ROOT/downloads/${1}_$upstream.orig.tar.*" | grep -v '\.asc$' | head -n 1) ||
        die "no source tarball of $1 in $ROOT/downloads"
    # The top folder's file only: contributions carry licences of their own.
    tar -xOf "$tarball" --wildcards --no-wildcards-match-slash "*/$2"
}

cp "$velmora" "$stage/Velmora.exe"
cp "$ffmpeg" "$stage/tool/ffmpeg.exe"

version=$(<"$top/VERSION")
grep -q "Velmora $version;" "$top/README.md" || die "README.md does not say Velmora $version"
{
    printf '\xef\xbb\xbf'
    printf 'Velmora %s\n\n' "$version"
    # From the Chinese guide to the heading after the English one.
    awk '/^## 使用说明/ { on = 1 } /^## / && on && !/^## (使用说明|User guide)/ { exit } on' \
        "$top/README.md" | grep -v -e '^|' -e '](docs/' | sed 's/`//g'
} | crlf >"$stage/README.txt"

licenses=$stage/licenses
from_source ffmpeg COPYING.LGPLv2.1 | crlf >"$licenses/ffmpeg-LGPL-2.1.txt"
from_source ffmpeg LICENSE.md | crlf >"$licenses/ffmpeg-LICENSE.txt"
{
    echo "tool\\ffmpeg.exe is FFmpeg ${VER[ffmpeg]%-*}, built from the Debian source package"
    echo "ffmpeg ${VER[ffmpeg]} (Debian $SUITE) under the GNU Lesser General Public"
    echo "License version 2.1 or later (ffmpeg-LGPL-2.1.txt); no GPL part is enabled."
    echo
    echo "Its source: https://packages.debian.org/source/$SUITE/ffmpeg"
    echo "(apt-get source ffmpeg on Debian $SUITE; the original tarball is"
    echo "ffmpeg_${VER[ffmpeg]%-*}.orig.tar.xz). It was configured with"
    echo
    "$here/build-ffmpeg.sh" --configure-line | fold -s -w 78
    echo
    echo "and built with \"make ffmpeg.exe\" (Velmora's scripts/build-ffmpeg.sh)."
} | crlf >"$licenses/ffmpeg-SOURCE.txt"
crlf /usr/share/doc/libz-mingw-w64-dev/copyright >"$licenses/zlib.txt"
from_source libpng1.6 LICENSE | crlf >"$licenses/libpng.txt"
{
    from_source libjpeg-turbo LICENSE.md
    echo
    from_source libjpeg-turbo README.ijg
} | crlf >"$licenses/libjpeg-turbo.txt"
# The C runtime, winpthreads, libgcc and libstdc++ are linked statically.
crlf /usr/share/doc/mingw-w64-i686-dev/copyright >"$licenses/mingw-w64-runtime.txt"
crlf /usr/share/doc/gcc-mingw-w64-base/copyright >"$licenses/gcc-runtime.txt"

mkdir -p "$(dirname "$zip")"
rm -f "$zip"
(cd "$stage" && python3 - "$zip" <<'PY'
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as out:
    for folder, _, files in sorted(os.walk(".")):
        for name in sorted(files):
            path = os.path.join(folder, name)
            out.write(path, os.path.relpath(path, "."))
PY
)
log "made $zip"
