#!/usr/bin/env bash
# Picture files against the peer tools, side by side in one run on the same pixels:
#   saving a 1920 x 1080 JPEG at quality 100      savePictureFile        vs  cjpeg -quality 100
#   loading it                                    loadPictureFile        vs  djpeg -ppm
#   loading and saving a 3840 x 2160 24-bit BMP   load + save            vs  convert in.bmp out.bmp
#   saving a 1920 x 1080 screenshot as PNG        savePictureFile        vs  convert in.ppm out.png
#   loading it                                    loadPictureFile        vs  convert in.png ppm
# The program's side is the operation as a command runs it (files_codec_tool times it inside the
# process: the picture is in memory before a save, as it is on screen); a peer's side is its whole
# run, from start to exit. Each runs RUNS times (default 15), alternately; the medians and the
# ratio program / peer are printed. The BMP save is timed onto a new name and over an existing
# file (which waits for the disk, see ReplacingFileWriter). Goals: JPEG ratios <= 1.2, BMP <= 0.5,
# PNG <= 1.0.
#   tests/bench/files_bench.sh [BUILD_DIR [RUNS]]    (the build needs -DVARNOSET_BENCH=ON)
set -euo pipefail
here=$(dirname "$0")
source "$here/bench_lib.sh"
build=${1:-build/bench}
tool=$build/tests/bench/files_codec_tool
runs=${2:-${RUNS:-15}}
[[ -x $tool ]] || { echo "build files_codec_tool first: ninja -C $build files_codec_tool" >&2; exit 2; }
for peer in cjpeg djpeg convert; do
    command -v "$peer" >/dev/null ||
        { echo "$peer is missing (packages libjpeg-turbo-progs, imagemagick)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/files-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Photograph-like pixels (a plasma fractal) compress least well; the same seed every run.
convert -seed 7 -size 1920x1080 plasma:fractal -depth 8 "$work/hd.ppm"
convert -seed 7 -size 3840x2160 plasma:fractal -depth 8 -type TrueColor BMP3:"$work/uhd.bmp"
cjpeg -quality 100 -outfile "$work/hd.jpg" "$work/hd.ppm"
# A screenshot-like picture for PNG: flat areas, text-like detail and a gradient.
convert -size 1920x1080 gradient:'#2060a0-#e0e0e0' \( -size 1920x1080 xc:none -fill black \
    -draw "text 40,60 'Varnoset'" -draw "rectangle 100,200 900,700" \) -composite \
    -depth 8 "$work/screen.ppm"
convert "$work/screen.ppm" "$work/screen.png"

# compare MEASURE PEER_LABEL GOAL PREPARE OURS... -- PEER...: PREPARE (a command, or "true")
# runs before every program run, untimed.
missed=0
compare() {
    local measure=$1 peer_label=$2 goal=$3 prepare=$4
    shift 4
    local ours=() peer=()
    while [[ $1 != -- ]]; do ours+=("$1"); shift; done
    shift
    peer=("$@")
    local i start ours_ms=() peer_ms=()
    for ((i = 0; i <= runs; i++)); do
        $prepare
        local o
        o=$("${ours[@]}")
        start=$(bench_now_us)
        "${peer[@]}" >/dev/null
        local p=$(($(bench_now_us) - start))
        ((i == 0)) && continue  # the first round only warms the caches
        ours_ms+=("$o")
        peer_ms+=("$(awk -v u="$p" 'BEGIN {printf "%.2f", u / 1000}')")
    done
    local om pm
    om=$(printf '%s\n' "${ours_ms[@]}" | bench_median)
    pm=$(printf '%s\n' "${peer_ms[@]}" | bench_median)
    awk -v l="$measure / $peer_label" -v o="$om" -v p="$pm" -v g="$goal" 'BEGIN {
        r = o / p
        printf "%-48s program %7.1f ms  peer %7.1f ms  ratio %.2f (goal <= %.1f: %s)\n",
               l, o, p, r, g, (r <= g ? "met" : "missed")
        exit (r <= g ? 0 : 1) }' || missed=1
    bench_row "$measure" "$om" ms "$peer_label (process)" "$pm" "whole run; ours: the operation in process"
}

remove_ours() { rm -f "$work/ours.bmp"; }

echo "medians of $runs runs, $(nproc) cores, $(uname -r)"
compare "JPEG save, 1920x1080 q100" "cjpeg -quality 100" 1.2 true \
    "$tool" save-jpeg "$work/hd.ppm" "$work/ours.jpg" -- \
    cjpeg -quality 100 -outfile "$work/peer.jpg" "$work/hd.ppm"
cmp -s "$work/ours.jpg" "$work/peer.jpg" && echo "  (the two files are byte for byte the same)"
compare "JPEG load, 1920x1080" "djpeg -ppm" 1.2 true \
    "$tool" load-jpeg "$work/hd.jpg" -- \
    djpeg -ppm -outfile "$work/peer.ppm" "$work/hd.jpg"
compare "BMP load + save, 3840x2160, new file" "convert in.bmp out.bmp" 0.5 remove_ours \
    "$tool" copy-bmp "$work/uhd.bmp" "$work/ours.bmp" -- \
    convert "$work/uhd.bmp" "$work/peer.bmp"
compare "BMP load + save, 3840x2160, replacing" "convert in.bmp out.bmp" 0.5 true \
    "$tool" copy-bmp "$work/uhd.bmp" "$work/ours.bmp" -- \
    convert "$work/uhd.bmp" "$work/peer.bmp"
compare "PNG save, 1920x1080 screenshot" "convert in.ppm out.png" 1.0 true \
    "$tool" save-png "$work/screen.ppm" "$work/ours.png" -- \
    convert "$work/screen.ppm" "$work/peer.png"
echo "  (sizes: ours $(stat -c %s "$work/ours.png") bytes, peer's $(stat -c %s "$work/peer.png") bytes)"
compare "PNG load, 1920x1080 screenshot" "convert in.png out.ppm" 1.0 true \
    "$tool" load-png "$work/screen.png" -- \
    convert "$work/screen.png" "$work/peer.ppm"
((missed == 0))
