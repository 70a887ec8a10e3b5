#!/usr/bin/env bash
# Draws the donation window's 567 x 232 picture (app/data/donation.png).
# Run by hand when the picture should change; the PNG is committed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
font=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei')
/usr/bin/convert -size 567x232 gradient:'#2b2f3a'-'#4a3f5c' \
    -fill '#f2c14e' -draw 'roundrectangle 24,36 196,196 18,18' \
    -fill '#2b2f3a' -font "$font" -pointsize 64 -gravity northwest -annotate +72+76 '赞' \
    -fill '#f4f4f4' -pointsize 30 -annotate +230+60 '感谢支持 Velmora' \
    -fill '#c9c9d6' -pointsize 18 -annotate +232+112 '扫一扫，请作者喝杯咖啡' \
    -fill '#c9c9d6' -pointsize 14 -annotate +232+150 'Thank you for supporting Velmora.' \
    -depth 8 -type TrueColor -strip -define png:exclude-chunks=date,time \
    "$here/../app/data/donation.png"
