#!/usr/bin/env bash
# The main job on a built-in sample, as a user does it: a short HLS stream is
# made once and served on 127.0.0.1, Velmora runs from build/demo, the driver
# types the address, presses "解析" and "开始", and the result is checked.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$here/.." && pwd)/${BUILD_DIR:-build}
demo=$build/demo
sample=$build/demo-sample
title="Velmora  by：Tavrosi  [下载时程序会假死]"
# Control identifiers follow the template's creation order.
address_box=100 parse_button=120 log_box=150 start_button=160

[[ -f $sample/index.m3u8 ]] || "$here/make-hls-sample.sh" "$sample" 10 2 >/dev/null
rm -rf "$demo"
mkdir -p "$demo/tool"
cp "$build/app/Velmora.exe" "$demo/"
cp "$build/app/tool/ffmpeg.exe" "$demo/tool/"

server_log=$(mktemp)
python3 -u -m http.server --bind 127.0.0.1 --directory "$sample" 0 >"$server_log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true; rm -f "$server_log"' EXIT
for _ in $(seq 50); do
    port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$server_log" | head -n 1)
    [[ -n $port ]] && break
    sleep 0.1
done
[[ -n ${port:-} ]] || { echo "demo: the sample server did not start" >&2; exit 1; }
url=http://127.0.0.1:$port/index.m3u8
echo "demo: serving the sample at $url"

"$here/with-test-env.sh" bash -c '
    set -euo pipefail
    here=$0 demo=$1 title=$2 url=$3 driver=$4
    address_box=100 parse_button=120 log_box=150 start_button=160
    run() { "$here/wine-run.sh" "$driver" "$@"; }
    "$here/wine-run.sh" "$demo/Velmora.exe" >/dev/null 2>&1 &
    run wait "$title" 60
    run set-text "$title" $address_box "$url"
    run click "$title" $parse_button
    run wait-text "$title" $log_box "点击 开始 即可下载" 120
    run click "$title" $start_button
    run wait-text "$title" $log_box "视频已保存在" 600 || true
    echo "demo: the log box reads:"
    run get-text "$title" $log_box | tr -d "\r"
    echo
    import -window root "$demo/screenshot.png"
    run close "$title"
' "$here" "$demo" "$title" "$url" "$build/tools/driver.exe"

video=$demo/Data/output.mp4
if [[ ! -f $video ]]; then
    echo "demo: no video at $video" >&2
    exit 1
fi
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$video")
streams=$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$video" | paste -sd, -)
echo "demo: $video: $duration s, streams $streams"
echo "demo: screenshot $demo/screenshot.png"
[[ $streams == *video* && $streams == *audio* ]]
