#!/usr/bin/env bash
# Picture files against the peer tools, side by side in one run on the same pixels:
#   saving a 1920 x 1080 JPEG at quality 100      savePictureFile        vs  cjpeg -quality 100
#   loading it                                    loadPictureFile        vs  djpeg -ppm
#   loading and saving a 3840 x 2160 24-bit BMP   load + save            vs  convert in.bmp out.bmp
# The program's side is the operation as a command runs it (files_codec_tool times it inside the
# process: the picture is in memory before a save, as it is on screen); a peer's side is its whole
# run, from start to exit. Each runs RUNS times (default 15), alternately; the medians and the
# ratio program / peer are printed. The BMP save is timed onto a new name and over an existing
# file (which waits for the disk, see ReplacingFileWriter). Goals: JPEG ratios <= 1.2, BMP <= 0.5.
#   tests/bench/files_bench.sh [build-dir]    (the build needs -DVARNOSET_BENCH=ON)
set -euo pipefail
build=${1:-build/bench}
tool=$build/tests/bench/files_codec_tool
runs=${RUNS:-15}
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

now_us() { echo $(($(date +%s%N) / 1000)); }
median() { sort -n | awk '{a[NR] = $1} END {printf "%.1f", a[int((NR + 1) / 2)]}'; }

# compare LABEL GOAL PREPARE OURS... -- PEER...: PREPARE (a command, or "true") runs before
# every program run, untimed.
compare() {
    local label=$1 goal=$2 prepare=$3
    shift 3
    local ours=() peer=()
    while [[ $1 != -- ]]; do ours+=("$1"); shift; done
    shift
    peer=("$@")
    local i start ours_ms=() peer_ms=()
    for ((i = 0; i <= runs; i++)); do
        $prepare
        local o
        o=$("${ours[@]}")
        start=$(now_us)
        "${peer[@]}" >/dev/null
        local p=$(($(now_us) - start))
        ((i == 0)) && continue  # the first round only warms the caches
        ours_ms+=("$o")
        peer_ms+=("$(awk -v u="$p" 'BEGIN {printf "%.2f", u / 1000}')")
    done
    local om pm
    om=$(printf '%s\n' "${ours_ms[@]}" | median)
    pm=$(printf '%s\n' "${peer_ms[@]}" | median)
    awk -v l="$label" -v o="$om" -v p="$pm" -v g="$goal" 'BEGIN {
        r = o / p
        printf "%-44s program %7.1f ms  peer %7.1f ms  ratio %.2f (goal <= %.1f: %s)\n",
               l, o, p, r, g, (r <= g ? "met" : "missed") }'
}

remove_ours() { rm -f "$work/ours.bmp"; }

echo "medians of $runs runs, $(nproc) cores, $(uname -r)"
compare "save 1920x1080 JPEG q100 / cjpeg" 1.2 true \
    "$tool" save-jpeg "$work/hd.ppm" "$work/ours.jpg" -- \
    cjpeg -quality 100 -outfile "$work/peer.jpg" "$work/hd.ppm"
cmp -s "$work/ours.jpg" "$work/peer.jpg" && echo "  (the two files are byte for byte the same)"
compare "load 1920x1080 JPEG / djpeg" 1.2 true \
    "$tool" load-jpeg "$work/hd.jpg" -- \
    djpeg -ppm -outfile "$work/peer.ppm" "$work/hd.jpg"
compare "load+save 3840x2160 BMP, new file / convert" 0.5 remove_ours \
    "$tool" copy-bmp "$work/uhd.bmp" "$work/ours.bmp" -- \
    convert "$work/uhd.bmp" "$work/peer.bmp"
compare "load+save 3840x2160 BMP, replacing / convert" 0.5 true \
    "$tool" copy-bmp "$work/uhd.bmp" "$work/ours.bmp" -- \
    convert "$work/uhd.bmp" "$work/peer.bmp"
