#!/usr/bin/env bash
# Full-screen grab on a private 1920x1080 virtual desktop, side by side in one run: Varnoset's
# grab into a picture against a bare xcb_get_image of the root window (the floor) in the same
# benchmark program, and the screenshot tools scrot, maim and ImageMagick's `import -window root`
# as whole processes (start, grab, write an uncompressed BMP, exit), where installed.
# The key press to the main window is measured by keypress_bench.sh.
#   capture_bench.sh BUILD_DIR [REPETITIONS]
# BUILD_DIR is a Release build configured with -DVARNOSET_BENCH=ON. Goals: grab / floor <= 1.5, and
# grab / xcb_shm_get_image into a ready segment (the shared-memory floor) <= 2.
set -euo pipefail
here=$(dirname "$0")
build=$(realpath "$1")
reps=${2:-10}
if [[ "${VARNOSET_BENCH_INSIDE:-}" != 1 ]]; then
    VARNOSET_BENCH_INSIDE=1 exec "$here/../desktop/harness.sh" -- "$0" "$build" "$reps"
fi
source "$here/bench_lib.sh"
csv=$TMPDIR/capture_bench.csv
size=$(xdpyinfo | awk '/dimensions/ {print $2}')

echo "== full-screen grab, $size depth $(xdpyinfo | awk '/depth of root/ {print $5}')"
# Repetitions interleaved: a change of the machine's load meets the grab and its floors alike.
bench_gbench "$csv" "$reps" "$build/tests/bench/capture_bench" --benchmark_time_unit=ms \
    --benchmark_enable_random_interleaving=true
bare=$(bench_gbench_median "$csv" Display/BareGetImage)
bare_shm=$(bench_gbench_median "$csv" Display/BareShmGetImage)
grab=$(bench_gbench_median "$csv" Display/CaptureScreenRect)
measure="full-screen grab, $size"

printf '\n%-48s %8.2f ms\n' "Varnoset CaptureScreenRect into a picture" "$grab"
printf '%-48s %8.2f ms\n' "bare xcb_get_image of the root (floor)" "$bare"
printf '%-48s %8.2f ms\n' "bare xcb_shm_get_image into a ready segment" "$bare_shm"
bench_row "$measure" "$grab" ms "bare xcb_get_image" "$bare" "same process, pixels into xcb's reply"
bench_row "$measure" "$grab" ms "bare xcb_shm_get_image" "$bare_shm" "same process, segment made beforehand"

peer() {  # label command...
    local label=$1 ms
    shift
    if ! command -v "$1" >/dev/null; then
        echo "$1 is not installed"
        return 0
    fi
    ms=$(bench_process_ms "$reps" "$@")
    printf '%-48s %8.2f ms\n' "$label, whole process" "$ms"
    bench_row "$measure" "$grab" ms "$label (process)" "$ms" "start, grab, write BMP, exit"
}
peer "scrot" scrot -o "$TMPDIR/scrot.bmp"
peer "maim" maim -f bmp "$TMPDIR/maim.bmp"
peer "import -window root" import -window root "$TMPDIR/import.bmp"

goal() {  # label floor limit: prints the ratio of the grab to the floor; fails above the limit
    local ratio met
    ratio=$(awk -v g="$grab" -v b="$2" 'BEGIN {printf "%.2f", g / b}')
    met=$(awk -v r="$ratio" -v l="$3" 'BEGIN {print (r <= l) ? "met" : "missed"}')
    printf '%-48s %8.2f   (goal: at most %.2f: %s)\n' "$1" "$ratio" "$3" "$met"
    [[ $met == met ]]
}
status=0
goal "grab / floor" "$bare" 1.5 || status=1
goal "grab / shared-memory floor" "$bare_shm" 2 || status=1
exit $status
