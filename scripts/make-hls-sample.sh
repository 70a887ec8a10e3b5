#!/usr/bin/env bash
# Make a short HLS stream (H.264 test pattern + AAC sine tone) with the host's
# ffmpeg, for the downloader's end-to-end tests and demo: OUTDIR/index.m3u8
# and OUTDIR/segNNN.ts (or .mp4).  Prints the playlist path.
#
# usage: scripts/make-hls-sample.sh OUTDIR [SECONDS] [SEGMENT_SECONDS]
#            [--absolute BASEURL] [--crlf] [--mp4-segments] [--tag TAG]...
#   SECONDS          length of the stream (default 6)
#   SEGMENT_SECONDS  target length of one segment (default 2)
#   --absolute URL   segment lines are URL/segNNN.ts instead of relative names
#   --crlf           the playlist has CR LF line ends
#   --mp4-segments   each segment is a self-contained MP4 file (moov and all),
#                    so the concat demuxer can read any of them on its own
#   --tag TAG        add a header line such as EXT-X-INDEPENDENT-SEGMENTS
#                    ('#' optional); may be repeated
set -euo pipefail

usage() {
    sed -n 's/^# \{0,1\}//; 6,15p' "${BASH_SOURCE[0]}" >&2
    exit 2
}

outdir="" duration=6 segment=2 base="" eol=$'\n' ext=ts
tags=()
positional=()
while (($#)); do
    case $1 in
        --absolute) (($# >= 2)) || usage; base=$2; shift ;;
        --crlf) eol=$'\r\n' ;;
        --mp4-segments) ext=mp4 ;;
        --tag) (($# >= 2)) || usage; tags+=("#${2#\#}"); shift ;;
        -h | --help) usage ;;
        -*) echo "unknown option $1" >&2; usage ;;
        *) positional+=("$1") ;;
    esac
    shift
done
((${#positional[@]} >= 1 && ${#positional[@]} <= 3)) || usage
outdir=${positional[0]}
duration=${positional[1]:-$duration}
segment=${positional[2]:-$segment}
number='^[0-9]+([.][0-9]+)?$'
[[ $duration =~ $number && $segment =~ $number ]] || usage
awk -v d="$duration" -v s="$segment" 'BEGIN { exit !(d > 0 && s > 0) }' || usage

if ! command -v ffmpeg >/dev/null 2>&1; then
    echo "ffmpeg not found (scripts/setup-system.sh installs it)" >&2
    exit 1
fi
encoders=$(ffmpeg -hide_banner -encoders 2>/dev/null)
[[ $encoders == *" libx264 "* ]] || { echo "this ffmpeg has no libx264 encoder" >&2; exit 1; }

mkdir -p "$outdir"
rm -f "$outdir"/index.m3u8 "$outdir"/seg[0-9][0-9][0-9].ts "$outdir"/seg[0-9][0-9][0-9].mp4
seglist=$(mktemp)
trap 'rm -f "$seglist"' EXIT

if [[ $ext == mp4 ]]; then
    # Each file starts its own timeline, as a separately made MP4 would.
    container=(-segment_format mp4 -reset_timestamps 1)
else
    container=(-segment_format mpegts)
fi
# shellcheck source=lib/test-pattern.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib/test-pattern.sh"
encode_test_pattern 320x240 "$duration" "$segment" \
    -f segment -segment_time "$segment" "${container[@]}" \
    -segment_list "$seglist" -segment_list_type csv \
    "$outdir/seg%03d.$ext"

# The segment list holds "name,start,end" per segment.
[[ -n $base && $base != */ ]] && base+=/
awk -F, -v base="$base" -v eol="$eol" -v tagtext="$(printf '%s\n' "${tags[@]}")" '
    { name[NR] = $1; len[NR] = $3 - $2; if (len[NR] > longest) longest = len[NR] }
    END {
        printf "#EXTM3U%s#EXT-X-VERSION:3%s", eol, eol
        target = (longest == int(longest)) ? longest : int(longest) + 1
        printf "#EXT-X-TARGETDURATION:%d%s", target, eol
        printf "#EXT-X-MEDIA-SEQUENCE:0%s#EXT-X-PLAYLIST-TYPE:VOD%s", eol, eol
        n = split(tagtext, tag, "\n")
        for (i = 1; i <= n; i++) if (tag[i] != "") printf "%s%s", tag[i], eol
        for (i = 1; i <= NR; i++) printf "#EXTINF:%.3f,%s%s%s%s", len[i], eol, base, name[i], eol
        printf "#EXT-X-ENDLIST%s", eol
    }' "$seglist" >"$outdir/index.m3u8"
echo "$outdir/index.m3u8"
