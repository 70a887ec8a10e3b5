#!/usr/bin/env bash
# The main job on a built-in sample, as a user does it: a short HLS stream is
# made once and served on 127.0.0.1, Velmora runs from build/demo, the driver
# types the address, presses "解析" and "开始", and the result is checked.
#   scripts/demo.sh [--screenshots DIR]
# With --screenshots, everything runs in a Wine virtual desktop (Wine then
# draws the window frames, as Windows would) and the main window, the
# donation window and the finished download are saved as PNG files in DIR.
set -euo pipefail

shots=""
if [[ ${1:-} == --screenshots ]]; then
    shots=$(realpath -m "${2:?a directory}")
    mkdir -p "$shots"
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$here/.." && pwd)/${BUILD_DIR:-build}
demo=$build/demo
sample=$build/demo-sample
# The windows' titles and the units' control identifiers, as the build made
# them from app/data/windows.tpl.
names=$build/app/templates_velmora_app/window_names.txt
[[ -f $names ]] || { echo "demo: $names is missing; build first" >&2; exit 1; }
# shellcheck source=/dev/null
source "$names"
title=$MAIN_WINDOW_TITLE

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
    here=$0 demo=$1 title=$2 url=$3 driver=$4 shots=$5 names=$6
    source "$names"
    address_box=$ADDRESS_BOX_CONTROL parse_button=$PARSE_BUTTON_CONTROL log_box=$LOG_BOX_CONTROL
    start_button=$START_BUTTON_CONTROL donate_button=$DONATE_BUTTON_CONTROL
    donation_title=$DONATION_WINDOW_TITLE
    # In a virtual desktop, the driver must run in the same desktop to see the windows.
    start() { if [[ -n $shots ]]; then "$here/wine-run.sh" explorer /desktop=velmora,800x600 "$@"; else "$here/wine-run.sh" "$@"; fi; }
    run() { start "$driver" "$@"; }
    shoot() { [[ -z $shots ]] || { sleep 1; import -window root -crop 800x600+0+0 +repage "$shots/$1"; }; }
    start "$demo/Velmora.exe" >/dev/null 2>&1 &
    # A second program started into the desktop before it exists would make a desktop of its own.
    [[ -z $shots ]] || sleep 4
    run wait "$title" 60
    shoot main-window.png
    if [[ -n $shots ]]; then
        run click "$title" $donate_button
        run wait "$donation_title" 30
        shoot donation-window.png
        run close "$donation_title"
        sleep 1
    fi
    run set-text "$title" $address_box "$url"
    run click "$title" $parse_button
    run wait-text "$title" $log_box "点击 开始 即可下载" 120
    run click "$title" $start_button
    run wait-text "$title" $log_box "视频已保存在" 600 || true
    echo "demo: the log box reads:"
    run get-text "$title" $log_box | tr -d "\r"
    echo
    shoot download.png
    if [[ -n $shots ]]; then
        # The same stream again, from a request pasted as Chrome copies it on Windows.
        crlf=$'"'"'\r\n'"'"'
        command="curl ^\"$url^\" ^$crlf  -H ^\"accept: */*^\" ^$crlf  -b ^\"session=s3cret^\" ^$crlf"
        command+="  -H ^\"referer: http://127.0.0.1/watch/42^\" ^$crlf  --compressed"
        run paste "$title" $address_box "$command"
        run click "$title" $parse_button
        run wait-text "$title" $log_box "请求头" 120
        sleep 3  # the parse ends with the same line as the first one did
        shoot pasted-curl.png
    fi
    import -window root -trim +repage "$demo/screenshot.png"
    run close "$title"
' "$here" "$demo" "$title" "$url" "$build/tools/driver.exe" "$shots" "$names"

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
