#!/usr/bin/env bash
# Make the HLS streams of the kinds sites publish beyond plain TS playlists,
# with the host's ffmpeg and its HLS muxer, for the downloader's end-to-end
# tests: OUTDIR/index.m3u8 and its segments.  Prints the playlist path.
#
# usage: scripts/make-hls-kinds.sh OUTDIR KIND [PLACEHOLDER_HOST]
#   low, high     six seconds of TS segments at 160x120 or 320x240, variants
#                 for the master playlists
#   aes-plain     the AES streams' segments unencrypted (numbered from 5)
#   aes-iv        AES-128 segments, key in key.bin, the IV written in the tag
#   aes-sequence  AES-128 segments, key in key.bin, no IV: each segment's
#                 media sequence number (from 5) is its IV; beside it
#                 sample-aes.m3u8 (a method not decrypted here) and
#                 short-key.m3u8 (a key that is no 16-byte key)
#   fmp4          fragmented MP4: init.mp4 as #EXT-X-MAP, segNNN.m4s
#   aes-fmp4      fragmented MP4 (from 5), the fragments AES-128 encrypted:
#                 the first with the IV its tag gives, the others under a
#                 second tag without IV, with their sequence numbers; a wrong
#                 IV breaks a fragment's first box, so no video comes whole
#   single        TS segments as byte ranges of one file, seg.ts
#   single-fmp4   fragmented MP4 as byte ranges of one file, seg.m4s: the
#                 map its first range, the fragments the others
#   audio         a master whose one variant is video only, its sound in an
#                 audio rendition (master.m3u8: video.m3u8, audio.m3u8); and
#                 two-audio.m3u8, two renditions with DEFAULT on the second
#                 (audio2.m3u8) and English subtitles
#   two-maps      fragmented MP4 of two encodes of four seconds, each with a
#                 map of its own (first.mp4, second.mp4), the second after an
#                 #EXT-X-DISCONTINUITY
#   codec-change  four seconds of H.264 TS segments, then after an
#                 #EXT-X-DISCONTINUITY four seconds of HEVC (an inserted clip
#                 of another format)
#   picture       TS segments each behind the bytes of a small PNG, as sites
#                 hide them to pass for pictures
#   masters       master playlists over the low and high variants:
#                 relative.m3u8 (their addresses as "../low/index.m3u8"),
#                 absolute.m3u8 (PLACEHOLDER_HOST/low/index.m3u8), and
#                 nested.m3u8 (a master whose variant is a master)
set -euo pipefail

usage() {
    sed -n 's/^# \{0,1\}//; 6,38p' "${BASH_SOURCE[0]}" >&2
    exit 2
}
(($# >= 2 && $# <= 3)) || usage
outdir=$1 kind=$2 host=${3:-http://hls.invalid}
mkdir -p "$outdir"

if [[ $kind == masters ]]; then
    {
        printf '#EXTM3U\n#EXT-X-VERSION:3\n'
        printf '#EXT-X-STREAM-INF:BANDWIDTH=300000,RESOLUTION=160x120\n../low/index.m3u8\n'
        printf '#EXT-X-STREAM-INF:BANDWIDTH=900000,RESOLUTION=320x240\n../high/index.m3u8\n'
    } >"$outdir/relative.m3u8"
    {
        printf '#EXTM3U\n#EXT-X-VERSION:3\n'
        printf '#EXT-X-STREAM-INF:BANDWIDTH=900000,RESOLUTION=320x240\n%s/high/index.m3u8\n' "$host"
        printf '#EXT-X-STREAM-INF:BANDWIDTH=300000,RESOLUTION=160x120\n%s/low/index.m3u8\n' "$host"
    } >"$outdir/absolute.m3u8"
    printf '#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nrelative.m3u8\n' >"$outdir/nested.m3u8"
    echo "$outdir/relative.m3u8"
    exit 0
fi

if [[ $kind == audio ]]; then
    rm -f "$outdir"/*.m3u8 "$outdir"/*.ts
    # shellcheck source=lib/test-pattern.sh
    . "$(dirname -- "${BASH_SOURCE[0]}")/lib/test-pattern.sh"
    encode_test_pattern 320x240 6 2 \
        -f hls -hls_time 2 -hls_playlist_type vod -master_pl_name master.m3u8 \
        -var_stream_map "v:0,agroup:aud,name:video a:0,agroup:aud,default:yes,language:en,name:audio" \
        -hls_segment_filename "$outdir/%v-seg%03d.ts" "$outdir/%v.m3u8"
    cp "$outdir/audio.m3u8" "$outdir/audio2.m3u8"
    {
        printf '#EXTM3U\n#EXT-X-VERSION:3\n'
        printf '#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID="aud",NAME="English",LANGUAGE="en",AUTOSELECT=YES,URI="audio.m3u8"\n'
        printf '#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID="aud",NAME="Commentary",LANGUAGE="fr",DEFAULT=YES,AUTOSELECT=YES,URI="audio2.m3u8"\n'
        printf '#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID="subs",NAME="English",LANGUAGE="en",URI="subs-en.m3u8"\n'
        printf '#EXT-X-STREAM-INF:BANDWIDTH=70400,RESOLUTION=320x240,AUDIO="aud",SUBTITLES="subs"\nvideo.m3u8\n'
    } >"$outdir/two-audio.m3u8"
    echo "$outdir/master.m3u8"
    exit 0
fi

if [[ $kind == codec-change ]]; then
    rm -f "$outdir"/*.m3u8 "$outdir"/*.ts
    # shellcheck source=lib/test-pattern.sh
    . "$(dirname -- "${BASH_SOURCE[0]}")/lib/test-pattern.sh"
    encode_test_pattern 320x240 4 2 -f hls -hls_time 2 -hls_playlist_type vod \
        -hls_segment_filename "$outdir/h264-%03d.ts" "$outdir/h264.m3u8"
    ffmpeg -hide_banner -nostdin -loglevel error -y \
        -f lavfi -i "testsrc2=size=320x240:rate=25:duration=4" \
        -f lavfi -i "sine=frequency=660:sample_rate=44100:duration=4" \
        -map 0:v -map 1:a -map_metadata -1 -c:v libx265 -preset veryfast -pix_fmt yuv420p \
        -x265-params "log-level=error:pools=1:frame-threads=1:scenecut=0:keyint=50:bframes=0" \
        -force_key_frames "expr:gte(t,n_forced*2)" -c:a aac -b:a 64k -ac 2 \
        -fflags +bitexact -flags:v +bitexact -flags:a +bitexact \
        -f hls -hls_time 2 -hls_playlist_type vod \
        -hls_segment_filename "$outdir/hevc-%03d.ts" "$outdir/hevc.m3u8"
    {
        sed '/^#EXT-X-ENDLIST/d' "$outdir/h264.m3u8"
        echo '#EXT-X-DISCONTINUITY'
        sed -n '/^#EXTINF/,$p' "$outdir/hevc.m3u8"
    } >"$outdir/index.m3u8"
    echo "$outdir/index.m3u8"
    exit 0
fi

if [[ $kind == two-maps ]]; then
    rm -f "$outdir"/*.m3u8 "$outdir"/*.m4s "$outdir"/*.mp4
    # shellcheck source=lib/test-pattern.sh
    . "$(dirname -- "${BASH_SOURCE[0]}")/lib/test-pattern.sh"
    for part in first second; do
        encode_test_pattern 320x240 4 2 \
            -f hls -hls_time 2 -hls_playlist_type vod -hls_segment_type fmp4 \
            -hls_fmp4_init_filename "$part.mp4" \
            -hls_segment_filename "$outdir/$part%03d.m4s" "$outdir/$part.m3u8"
    done
    {
        sed '/^#EXT-X-ENDLIST/d' "$outdir/first.m3u8"
        echo '#EXT-X-DISCONTINUITY'
        sed -n '/^#EXT-X-MAP/,$p' "$outdir/second.m3u8"
    } >"$outdir/index.m3u8"
    echo "$outdir/index.m3u8"
    exit 0
fi

size=320x240 hls=()
key=00112233445566778899aabbccddeeff
# The key's 16 bytes in key.bin.
write_key() { printf "$(sed 's/../\\x&/g' <<<"$key")" >"$outdir/key.bin"; }
case $kind in
    low) size=160x120 ;;
    high | picture) ;;
    aes-plain | aes-sequence) hls=(-start_number 5) ;;
    aes-iv)
        # A fixed key and IV keep the output repeatable.
        write_key
        printf 'key.bin\n%s\n%s\n' "$outdir/key.bin" 0f0e0d0c0b0a09080706050403020100 \
            >"$outdir/key-info.txt"
        hls=(-hls_key_info_file "$outdir/key-info.txt" -start_number 5) ;;
    fmp4) hls=(-hls_segment_type fmp4 -hls_fmp4_init_filename init.mp4) ;;
    single) hls=(-hls_flags single_file) ;;
    single-fmp4) hls=(-hls_flags single_file -hls_segment_type fmp4) ;;
    aes-fmp4) hls=(-hls_segment_type fmp4 -hls_fmp4_init_filename init.mp4 -start_number 5) ;;
    *) echo "unknown kind $kind" >&2; usage ;;
esac
extension=ts
[[ $kind == *fmp4 ]] && extension=m4s
segments=seg%03d.$extension
[[ $kind == single* ]] && segments=seg.$extension

rm -f "$outdir"/index.m3u8 "$outdir"/seg*."$extension" "$outdir"/init.mp4
# shellcheck source=lib/test-pattern.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib/test-pattern.sh"
encode_test_pattern "$size" 6 2 \
    -f hls -hls_time 2 -hls_playlist_type vod "${hls[@]}" \
    -hls_segment_filename "$outdir/$segments" "$outdir/index.m3u8"
rm -f "$outdir/key-info.txt"
# ffmpeg's muxer, given no IV, encrypts every segment with the first one's
# sequence number; a stream without IV uses each segment's own, so these
# segments are encrypted here, each with its sequence number (or the IV
# given for it).
encrypt() {  # SEGMENT [IV]
    local number
    number=$(basename "$1" ".$extension")
    number=$((10#${number#seg}))
    openssl enc -aes-128-cbc -K "$key" -iv "${2:-$(printf '%032x' "$number")}" \
        -in "$1" -out "$1.aes"
    mv "$1.aes" "$1"
}
if [[ $kind == aes-fmp4 ]]; then
    write_key
    first_iv=000102030405060708090a0b0c0d0e0f
    encrypt "$outdir/seg005.m4s" "$first_iv"
    encrypt "$outdir/seg006.m4s"
    encrypt "$outdir/seg007.m4s"
    awk -v iv="$first_iv" '
        /^#EXTINF/ && ++n == 1 { print "#EXT-X-KEY:METHOD=AES-128,URI=\"key.bin\",IV=0x" iv }
        /^#EXTINF/ && n == 2 { print "#EXT-X-KEY:METHOD=AES-128,URI=\"key.bin\"" }
        { print }' "$outdir/index.m3u8" >"$outdir/index.tmp"
    mv "$outdir/index.tmp" "$outdir/index.m3u8"
fi
if [[ $kind == aes-sequence ]]; then
    write_key
    for segment in "$outdir"/seg*.ts; do encrypt "$segment"; done
    sed -i 's/^#EXT-X-PLAYLIST-TYPE:VOD$/&\n#EXT-X-KEY:METHOD=AES-128,URI="key.bin"/' "$outdir/index.m3u8"
    sed 's/METHOD=AES-128/METHOD=SAMPLE-AES/' "$outdir/index.m3u8" >"$outdir/sample-aes.m3u8"
    sed 's/URI="key.bin"/URI="index.m3u8"/' "$outdir/index.m3u8" >"$outdir/short-key.m3u8"
fi
if [[ $kind == picture ]]; then
    ffmpeg -hide_banner -nostdin -loglevel error -y -f lavfi -i "color=c=red:size=16x16" \
        -frames:v 1 "$outdir/cover.png"
    for segment in "$outdir"/seg*.ts; do
        cat "$outdir/cover.png" "$segment" >"$segment.png"
        mv "$segment.png" "$segment"
    done
    rm "$outdir/cover.png"
fi
echo "$outdir/index.m3u8"
