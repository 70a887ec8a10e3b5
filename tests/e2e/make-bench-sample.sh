#!/usr/bin/env bash
# The benchmark's HLS stream, made with the host's ffmpeg: 300 one-second
# segments (H.264 test pattern + AAC tone) at a constant 2.6 Mbit/s, which the
# encoder keeps with filler data, so about 100 MB in all. OUTDIR/index.m3u8
# names them seg000.ts to seg299.ts.
#
# usage: tests/e2e/make-bench-sample.sh OUTDIR
set -euo pipefail

(($# == 1)) || { echo "usage: $0 OUTDIR" >&2; exit 2; }
outdir=$1
mkdir -p "$outdir"
rm -f "$outdir"/index.m3u8 "$outdir"/seg[0-9][0-9][0-9].ts
fps=25
# A key frame opens every segment; nal-hrd=cbr pads each second to the rate.
ffmpeg -hide_banner -nostdin -loglevel error -y \
    -f lavfi -i "testsrc2=size=320x240:rate=$fps:duration=300" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=300" \
    -map 0:v -map 1:a -map_metadata -1 \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p -bf 0 -threads 1 \
    -b:v 2600k -minrate 2600k -maxrate 2600k -bufsize 2600k \
    -x264-params "nal-hrd=cbr:scenecut=0:keyint=$fps:min-keyint=$fps" \
    -c:a aac -b:a 64k -ac 2 \
    -f hls -hls_time 1 -hls_list_size 0 -hls_playlist_type vod \
    -hls_segment_filename "$outdir/seg%03d.ts" "$outdir/index.m3u8"
