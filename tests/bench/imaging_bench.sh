#!/usr/bin/env bash
# The picture adjustments on one 3840 x 2160 picture, side by side in one run: Varnoset's image
# options pass (imaging_bench, in process, on the 24-bit rows in memory) against ImageMagick's
# convert doing the same steps on the same pixels:
#   invert                -negate
#   mirror                -flop
#   grey (30/59/11)       -grayscale Rec601Luma
#   brightness 20, contrast 40 (component levels; contrast a factor 1 + 40/127)
#                         -brightness-contrast 8x17 (the same shift and slope in its percent units)
#   all four together     the four in one command
# convert runs as a whole process from a memory-mapped pixel cache (MPC) to null:; its figure for
# a step is its median run minus the median run of the same command without the step, so what
# remains is the step itself (ImageMagick's default quantum, Q16, and its default threads).
# The whole pass of the program (read the display-format picture, every option, store back,
# frame) is reported beside the all-four row.
#   imaging_bench.sh BUILD_DIR [REPETITIONS]
set -euo pipefail
here=$(dirname "$0")
source "$here/bench_lib.sh"
build=$(realpath "${1:-build/bench}")
reps=${2:-10}
bench=$build/tests/bench/imaging_bench
[[ -x $bench ]] || { echo "build imaging_bench first: ninja -C $build imaging_bench" >&2; exit 2; }
command -v convert >/dev/null || { echo "convert is missing (package imagemagick)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/imaging-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bench" --write-ppm="$work/picture.ppm"
convert "$work/picture.ppm" "$work/picture.mpc"

csv=$work/imaging.csv
bench_gbench "$csv" "$reps" "$bench" --benchmark_filter='BM_ApplyStep|BM_WholePassEveryOption|BM_MemcpyRows'

echo
echo "== convert, $(convert -version | awk 'NR == 1 {print $3, $4}'), whole processes from MPC to null:, medians of $reps"
noop=$(bench_process_ms "$reps" convert "$work/picture.mpc" null:)
printf '%-34s %8.1f ms\n' "convert in.mpc null: (no step)" "$noop"
bench_row "3840x2160: read + write only" "" ms "convert in.mpc null: (process)" "$noop" "the floor subtracted below"

step() {  # label benchmark-name convert-arguments...
    local label=$1 name=$2 ours whole peer
    shift 2
    ours=$(bench_gbench_median "$csv" "BM_ApplyStep/$name")
    whole=$(bench_process_ms "$reps" convert "$work/picture.mpc" "$@" null:)
    peer=$(awk -v w="$whole" -v n="$noop" 'BEGIN {printf "%.3f", w - n}')
    printf '%-34s %8.1f ms   convert %s: %8.1f ms (process %.1f)\n' \
        "$label" "$ours" "$*" "$peer" "$whole"
    bench_row "3840x2160: $label" "$ours" ms "convert $*" "$peer" "process minus the no-step run"
}
step "invert" invert -negate
step "mirror" mirror -flop
step "grey" grey -grayscale Rec601Luma
step "brightness + contrast" brightness_contrast -brightness-contrast 8x17
step "all four" all_four -negate -flop -grayscale Rec601Luma -brightness-contrast 8x17

pass=$(bench_gbench_median "$csv" BM_WholePassEveryOption)
copy=$(bench_gbench_median "$csv" BM_MemcpyRows)
printf '%-34s %8.1f ms   (memcpy of the rows %.1f ms)\n' "whole pass, every option + frame" "$pass" "$copy"
bench_row "3840x2160: whole pass, every option + frame" "$pass" ms "memcpy of the 24-bit rows" "$copy" "the floor, same process"
