#!/usr/bin/env bash
# The downloader's end-to-end figures, one "name value unit" per line, against
# hls_test_server.py on 127.0.0.1 (run inside scripts/with-test-env.sh):
#   e2e_net_ratio        Velmora's job on the 300-segment stream, from the click
#                        on "开始" to the video in Data, over Debian's ffmpeg
#                        copying the same playlist to MP4; both through the
#                        server's slow mode (40 ms per answer, 5 MB/s per
#                        connection). Target: at most 0.6.
#   segment_overhead_ms  Velmora's download phase on the bare server with one
#                        connection, less a plain URLDownloadToFileA loop over
#                        the same addresses, per segment: our own cost. Each
#                        the best of five runs. Target: at most 2.
#   log_line_ms_1000, log_line_ms_10000
#                        one line of a job's log, with its share of the batch
#                        flushes at the pace of the job on the modelled link,
#                        in a log box that already holds 1,000 or 10,000 lines.
#                        Target: at most 1 at 1,000.
#   download_bare_ms_per_segment_100, download_bare_ms_per_segment_5000
#                        the plain loop on playlists of 100 and 5,000 tiny
#                        segments, per segment: the cost of a request alone.
#   download_pool_ms_per_segment_5000
#                        Velmora's download phase on the 5,000 tiny segments
#                        with its six connections, per segment: where every
#                        GET's connect and close take the internet root's lock.
#   parse_100k_s         from the click on "解析" to " 点击 开始 即可下载" for a
#                        playlist of 100,000 relative segments. Target: under 3.
#   parse_5mb_line_s     the same for the three sample segments after a line of
#                        5 MB that names none. Target: under 2.
# The measurements they come from follow them, and some that tell where the
# time goes: Debian's ffmpeg with one connection (by default it asks for the
# next segment on a second connection while one arrives), the plain loop at
# 5,000 segments when the download cache keeps every entry (as urlmon does
# unasked) and when each file is deleted as it arrives (the folder filling up
# is the other suspect for the slowing down from 100 to 5,000 segments), and
# one line added to the log box on its own, as every line was before batches.
#
# usage: tests/e2e/app_bench.sh TEST_BIN_DIR HLS_SAMPLE_ROOT
set -euo pipefail
# A step that fails inside $(...) ends the benchmark too.
shopt -s inherit_errexit

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
(($# == 2)) || { echo "usage: $0 TEST_BIN_DIR HLS_SAMPLE_ROOT" >&2; exit 2; }
bin=$1 samples=$2

if [[ -z ${VELMORA_HTTP_PORT:-} ]]; then
    VELMORA_TEST_SERVER=hls_test_server.py VELMORA_HLS_ROOT=$samples \
        "$here/../servers/with_http_server.sh" "$0" "$@"
    exit
fi

server=http://127.0.0.1:$VELMORA_HTTP_PORT
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

step="$here/../bench/bench_step.sh"
# Runs a Windows program of the benchmark; its figures land in $work/NAME.
measure() {
    local name=$1
    shift
    "$step" "$name" "$here/../../scripts/wine-run.sh" "$@" </dev/null | tr -d '\r' >"$work/$name"
}
value() { awk -v key="$2" '$1 == key { print $2 }' "$work/$1"; }
figure() { printf '%s %s %s\n' "$1" "$2" "$3"; }
# Arithmetic on the figures, which are plain decimal numbers.
calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }

# Seconds that Debian's ffmpeg takes to copy the slow playlist to MP4.
native_copy() {
    local name=$1 start
    shift
    start=$(date +%s.%N)
    "$step" "$name" ffmpeg -hide_banner -nostdin -loglevel error -y "$@" \
        -i "$server/slow/bench/index.m3u8" -c copy "$work/native.mp4"
    calc "$(date +%s.%N) - $start"
}

measure job_slow "$bin/app_bench.exe" job "$server/slow/bench/index.m3u8"
native=$(native_copy native_slow)
native_single=$(native_copy native_slow_one_connection -http_multiple 0)

# The bare figures swing by a second from run to run on a busy machine: the
# best of five, taken in turns, compares our download with the loop's.
for run in 1 2 3 4 5; do
    VELMORA_TEST_SEGMENT_CONNECTIONS=1 measure "job_bare_$run" "$bin/app_bench.exe" job \
        "$server/plain/bench/index.m3u8"
    measure "loop_bare_$run" "$bin/url_download_loop.exe" "$server/plain/bench/index.m3u8"
done
best() {  # file-prefix name
    local run
    for run in 1 2 3 4 5; do value "$1_$run" "$2"; done | sort -g | head -1
}
measure job_bare_pool "$bin/app_bench.exe" job "$server/plain/bench/index.m3u8"
measure pool_5000 "$bin/app_bench.exe" download "$server/plain/made/tiny-5000.m3u8"
measure loop_100 "$bin/url_download_loop.exe" "$server/plain/made/tiny-100.m3u8"
measure loop_5000 "$bin/url_download_loop.exe" "$server/plain/made/tiny-5000.m3u8"
measure loop_5000_cached "$bin/url_download_loop.exe" "$server/plain/made/tiny-5000.m3u8" \
    --keep-cache
measure loop_5000_removed "$bin/url_download_loop.exe" "$server/plain/made/tiny-5000.m3u8" \
    --remove-files
measure parse "$bin/app_bench.exe" parse "$server/plain/made/relative-100000.m3u8"
measure parse_line "$bin/app_bench.exe" parse "$server/plain/made/long-line-5000000.m3u8"
measure log_unbatched "$bin/app_bench.exe" log 600

segments=$(value job_bare_1 segments)
job_bare=$(best job_bare velmora_download_s)
loop_bare=$(best loop_bare url_download_loop_s)
# Two lines a segment; the batch is added every 250 ms.
lines_per_flush=$(awk -v n="$segments" -v s="$(value job_slow velmora_download_s)" \
    'BEGIN { f = int(2 * n / s / 4 + 0.5); print (f < 1 ? 1 : f) }')
measure log_1000 "$bin/log_bench.exe" 1000 "$lines_per_flush"
measure log_10000 "$bin/log_bench.exe" 10000 "$lines_per_flush"

per_segment() { calc "$(value "$1" url_download_loop_s) * 1000 / $(value "$1" segments)"; }

figure e2e_net_ratio "$(calc "$(value job_slow velmora_job_s) / $native")" ratio
figure segment_overhead_ms "$(calc "($job_bare - $loop_bare) * 1000 / $segments")" ms
figure log_line_ms_1000 "$(value log_1000 log_line_ms)" ms
figure log_line_ms_10000 "$(value log_10000 log_line_ms)" ms
figure download_bare_ms_per_segment_100 "$(per_segment loop_100)" ms
figure download_bare_ms_per_segment_5000 "$(per_segment loop_5000)" ms
figure download_pool_ms_per_segment_5000 \
    "$(calc "$(value pool_5000 velmora_download_s) * 1000 / $(value pool_5000 segments)")" ms
figure parse_100k_s "$(value parse velmora_parse_s)" s
figure parse_5mb_line_s "$(value parse_line velmora_parse_s)" s
figure velmora_job_slow_s "$(value job_slow velmora_job_s)" s
figure velmora_download_slow_s "$(value job_slow velmora_download_s)" s
figure native_ffmpeg_slow_s "$native" s
figure native_ffmpeg_one_connection_slow_s "$native_single" s
figure velmora_download_bare_one_connection_s "$job_bare" s
figure velmora_download_bare_s "$(value job_bare_pool velmora_download_s)" s
figure url_download_loop_bare_s "$loop_bare" s
figure download_cached_ms_per_segment_5000 "$(per_segment loop_5000_cached)" ms
figure download_files_removed_ms_per_segment_5000 "$(per_segment loop_5000_removed)" ms
figure log_lines_per_flush "$lines_per_flush" count
figure log_line_unbatched_ms "$(value log_unbatched log_line_ms)" ms
figure bench_segments "$segments" count
figure parse_segments "$(value parse segments)" count
