# shellcheck shell=bash disable=SC2034  # the sourcing scripts use these names
# Shared by the scripts that build third-party code from Debian's source
# packages for i686 MinGW-w64 (posix threads) and cache it outside the clone.
# Source it after setting:
#   LOG_TAG        prefix of every message
#   PACKAGES       Debian source package names
#   VERSIONS_FILE  where the resolved versions of PACKAGES are recorded
#
# Environment:
#   VELMORA_CACHE       cache root (default ${XDG_CACHE_HOME:-$HOME/.cache}/velmora)
#   VELMORA_DEPS_SUITE  Debian suite to take sources from (default bookworm)
#   VELMORA_JOBS        parallel build jobs (default: nproc)

TRIPLET=i686-w64-mingw32
FLAVOR=posix                      # winpthreads model: std::mutex/std::thread work
CC_BIN=$TRIPLET-gcc-$FLAVOR
CXX_BIN=$TRIPLET-g++-$FLAVOR
SYSROOT=/usr/$TRIPLET
SUITE=${VELMORA_DEPS_SUITE:-bookworm}
ROOT=${VELMORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora}
APT_LISTS=/var/lib/apt/lists

log() { echo "$LOG_TAG: $*" >&2; }
die() { log "error: $*"; exit 1; }

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || die "$tool not found"
    done
}

build_jobs() { echo "${VELMORA_JOBS:-$(nproc 2>/dev/null || echo 2)}"; }

declare -A VER=()

# Fast path: reuse recorded versions unless apt's package lists changed since.
load_recorded_versions() {
    [[ -f $VERSIONS_FILE ]] || return 1
    local p v
    while read -r p v; do
        [[ -n ${p:-} && -n ${v:-} ]] && VER[$p]=$v
    done <"$VERSIONS_FILE"
    for p in "${PACKAGES[@]}"; do [[ -n ${VER[$p]:-} ]] || return 1; done
}

versions_fresh() {
    [[ ! -e $APT_LISTS || $VERSIONS_FILE -nt $APT_LISTS ]]
}

# Ask apt (local index only, no network) which version $SUITE carries.  The
# .dsc file name carries the version without epoch, which is also what we want
# in path names (a ':' would upset make).
URIS=""
resolve_versions() {
    local tmp out p v
    tmp=$(mktemp -d)
    if ! out=$(cd "$tmp" && LC_ALL=C apt-get source --print-uris \
                   "${PACKAGES[@]/%//$SUITE}" 2>&1); then
        rm -rf "$tmp"
        echo "$out" | tail -n 5 >&2
        return 1
    fi
    rm -rf "$tmp"
    URIS=$(grep "^'" <<<"$out" || true)
    for p in "${PACKAGES[@]}"; do
        v=$(sed -n "s/^'[^']*' ${p//./\\.}_\([^ ]*\)\.dsc .*/\1/p" <<<"$URIS" | head -n 1)
        [[ -n $v ]] || return 1
        VER[$p]=$v
    done
}

# Resolve through apt, falling back to what an earlier run recorded.
resolve_or_recall_versions() {
    resolve_versions && return 0
    if load_recorded_versions; then
        log "warning: apt could not resolve source versions; using recorded ones"
    else
        die "cannot resolve source packages for $SUITE (need deb-src entries and 'apt-get update')"
    fi
}

record_versions() {
    local p tmp=$VERSIONS_FILE.tmp.$$
    for p in "${PACKAGES[@]}"; do echo "$p ${VER[$p]}"; done >"$tmp"
    mv -f "$tmp" "$VERSIONS_FILE"
}

# Serialise concurrent runs sharing one cache directory.
lock_dir() {
    exec 9>"$1/.lock"
    flock 9
}

LOG=""
run() {  # run a command with its output going to $LOG; show the tail on failure
    if ! "$@" >>"$LOG" 2>&1; then
        log "failed: $*"
        log "last lines of $LOG:"
        tail -n 40 "$LOG" >&2
        exit 1
    fi
}

# True when the .dsc and orig tarball of pkg version are already downloaded.
sources_present() {  # pkg version
    [[ -f $ROOT/downloads/${1}_$2.dsc ]] &&
        compgen -G "$ROOT/downloads/${1}_${2%-*}.orig.tar.*" >/dev/null
}

# Download the chosen versions' sources into the shared downloads directory.
# apt-get source skips files it already has; if it fails (e.g. a mirror lacks
# one file) fetch each listed file on its own so a present orig tarball still
# lets us build.
fetch_sources() {
    local -a want=("$@") sources=()
    local p
    for p in "${want[@]}"; do sources+=("$p/$SUITE"); done
    LOG=$ROOT/logs/download.log
    : >"$LOG"
    log "downloading sources: ${want[*]}"
    if (cd "$ROOT/downloads" && LC_ALL=C apt-get source --download-only "${sources[@]}") >>"$LOG" 2>&1; then
        return 0
    fi
    log "apt-get source failed; fetching files individually"
    local url file hash
    for p in "${want[@]}"; do
        while read -r url file _ hash; do
            url=${url//\'/}
            [[ $file == "${p}_"* ]] || continue
            [[ -f $ROOT/downloads/$file ]] && continue
            /usr/lib/apt/apt-helper download-file "$url" "$ROOT/downloads/$file" "$hash" >>"$LOG" 2>&1 \
                || log "warning: could not fetch $file"
        done <<<"$URIS"
    done
}

# Unpack with Debian's patches applied.  Without a usable dpkg-source, unpack
# the orig tarball and apply debian/patches/series with patch(1) if we can.
unpack_source() {  # pkg version destdir
    local p=$1 v=$2 dest=$3 dl=$ROOT/downloads
    local dsc=$dl/${p}_$v.dsc upv=${2%-*} orig debtar
    if [[ -f $dsc ]] && command -v dpkg-source >/dev/null 2>&1; then
        if (cd "$dl" && dpkg-source -x "$dsc" "$dest") >>"$LOG" 2>&1; then
            return 0
        fi
        log "dpkg-source failed for $p; unpacking the orig tarball instead"
        rm -rf "$dest"
    fi
    orig=$(compgen -G "$dl/${p}_$upv.orig.tar.*" | grep -v '\.asc$' | head -n 1 || true)
    [[ -n $orig ]] || die "no source for $p $v in $dl (see $ROOT/logs/download.log)"
    mkdir -p "$dest"
    run tar -xf "$orig" -C "$dest" --strip-components=1
    debtar=$(compgen -G "$dl/${p}_$v.debian.tar.*" | head -n 1 || true)
    if [[ -n $debtar ]]; then
        run tar -xf "$debtar" -C "$dest"
        if [[ -f $dest/debian/patches/series ]]; then
            if command -v patch >/dev/null 2>&1; then
                local name opt
                while read -r name opt; do
                    [[ -z $name || $name == \#* ]] && continue
                    run patch -d "$dest" "${opt:--p1}" --batch --forward -s \
                        -i "debian/patches/$name"
                done <"$dest/debian/patches/series"
            else
                log "warning: patch(1) missing; building $p without Debian's patches"
            fi
        fi
    else
        log "warning: no Debian tarball for $p; building upstream source as is"
    fi
}

# Download whichever of the given packages' sources are not here yet.
fetch_missing_sources() {  # pkg...
    local -a need=()
    local p
    for p in "$@"; do
        # Already downloaded (e.g. only the build options changed): stay offline.
        sources_present "$p" "${VER[$p]}" || need+=("$p")
    done
    if ((${#need[@]})); then fetch_sources "${need[@]}"; fi
}
