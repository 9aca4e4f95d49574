#!/usr/bin/env bash
# Time from a capture key press to Varnoset's main window on the screen with the preview painted,
# measured from outside by keypress_probe on a private 1920x1080 virtual desktop.
#   keypress_bench.sh BUILD_DIR [RUNS]
# BUILD_DIR is a Release build configured with -DVARNOSET_BENCH=ON. Goal: under 100 ms median.
set -euo pipefail
here=$(dirname "$0")
build=$(realpath "$1")
runs=${2:-20}
if [[ "${VARNOSET_BENCH_INSIDE:-}" != 1 ]]; then
    VARNOSET_BENCH_INSIDE=1 exec "$here/../desktop/harness.sh" -- "$0" "$build" "$runs"
fi
source "$here/bench_lib.sh"

"$build/varnoset" >"$TMPDIR/varnoset.log" 2>&1 &
app=$!
trap 'kill $app 2>/dev/null; wait $app 2>/dev/null' EXIT
for _ in $(seq 200); do
    xwininfo -root -tree | grep -q '^ *0x[0-9a-f]* "Varnoset": (' && break
    sleep 0.05
done
sleep 0.5

echo "== key press (XTest Print) to the main window, $runs runs, $(xdpyinfo | awk '/dimensions/ {print $2}')"
"$build/tests/bench/keypress_probe" "$runs" 'Varnoset.*v3\.00.*Kestrane' | tee "$TMPDIR/keypress.txt"
painted=$(awk '$1 == "painted" {print $3}' "$TMPDIR/keypress.txt")
mapped=$(awk '$1 == "mapped" {print $3}' "$TMPDIR/keypress.txt")
printf '\nkey press to the window painted: median %s ms (goal: under 100 ms)\n' "$painted"
bench_row "PrintScreen to the main window mapped" "$mapped" ms
bench_row "PrintScreen to the main window painted" "$painted" ms "" "" "last DAMAGE before 300 ms quiet"
awk -v p="$painted" 'BEGIN {exit !(p < 100)}'
