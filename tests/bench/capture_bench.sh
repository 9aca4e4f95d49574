#!/usr/bin/env bash
# Screen capture speed on a private 1920x1080 virtual desktop, side by side in one run:
#   (a) Varnoset's full-screen grab into a picture against a bare xcb_get_image of the root
#       window (the floor) in the same benchmark, and `scrot -o x.ppm` as a whole process;
#   (b) key press to the main window mapped with the preview painted.
#   capture_bench.sh BUILD_DIR [REPETITIONS]
# BUILD_DIR is a Release build configured with -DVARNOSET_BENCH=ON.
set -euo pipefail
build=$(realpath "$1")
reps=${2:-10}
if [[ "${VARNOSET_BENCH_INSIDE:-}" != 1 ]]; then
    VARNOSET_BENCH_INSIDE=1 exec "$(dirname "$0")/../desktop/harness.sh" -- "$0" "$build" "$reps"
fi
out=$TMPDIR/capture_bench.csv

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

echo "== (a) full-screen grab, $(xdpyinfo | awk '/dimensions/ {print $2}') depth $(xdpyinfo | awk '/depth of root/ {print $5}')"
"$build/tests/bench/capture_bench" --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_time_unit=ms \
    --benchmark_out="$out" --benchmark_out_format=csv
# Median real time (ms) of one benchmark from the CSV.
bench_median() { awk -F, -v n="\"Display/$1_median\"" '$1 == n {print $3}' "$out"; }
bare=$(bench_median BareGetImage)
grab=$(bench_median CaptureScreenRect)

scrot_times=()
for ((i = 0; i < reps; i++)); do
    t0=$(date +%s%N)
    scrot -o "$TMPDIR/x.ppm"
    t1=$(date +%s%N)
    scrot_times+=("$(echo "($t1 - $t0) / 1000000" | bc -l)")
done
scrot=$(printf '%s\n' "${scrot_times[@]}" | median)

printf '\n%-44s %8.2f ms\n' "bare xcb_get_image of the root (floor)" "$bare"
printf '%-44s %8.2f ms\n' "Varnoset CaptureScreenRect into a picture" "$grab"
printf '%-44s %8.2f ms\n' "scrot -o x.ppm, whole process" "$scrot"
ratio=$(echo "$grab / $bare" | bc -l)
printf '%-44s %8.2f   (goal: at most 1.50)\n' "grab / floor" "$ratio"

echo
echo "== (b) key press to main window mapped with the preview painted"
# Pending: needs the main window's hotkey handler wired to the capture dispatch. Then: start
# $build/varnoset, wait for its tray icon, and for each repetition time `xdotool key Print`
# until the main window is mapped with the preview painted (the program's own paint mark), then
# minimise it with Escape; report the median against the 100 ms goal.
echo "pending"
[[ $(echo "$ratio <= 1.5" | bc -l) == 1 ]]
