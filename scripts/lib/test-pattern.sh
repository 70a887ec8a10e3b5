# The test pattern and tone the HLS samples are made of (sourced by the sample
# scripts). A key frame exactly at every segment boundary and nowhere else (no
# scene cuts), one encoder thread and bitexact muxing keep the output
# repeatable.
#   encode_test_pattern SIZE SECONDS SEGMENT_SECONDS OUTPUT_OPTIONS...
encode_test_pattern() {
    local size=$1 duration=$2 segment=$3 fps=25
    shift 3
    ffmpeg -hide_banner -nostdin -loglevel error -y \
        -f lavfi -i "testsrc2=size=$size:rate=$fps:duration=$duration" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$duration" \
        -map 0:v -map 1:a -map_metadata -1 \
        -c:v libx264 -preset veryfast -pix_fmt yuv420p -bf 0 -threads 1 \
        -x264-params "scenecut=0:keyint=$((fps * 60))" \
        -force_key_frames "expr:gte(t,n_forced*$segment)" \
        -c:a aac -b:a 64k -ac 2 \
        -fflags +bitexact -flags:v +bitexact -flags:a +bitexact \
        "$@"
}
