#!/usr/bin/env bash
# Time from exec to the tray icon, and resident memory while idle, for Varnoset and for a bare
# Qt tray program, on the same private virtual desktop in one run.
#   startup_bench.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(realpath "$1")
runs=${2:-15}
if [[ "${VARNOSET_BENCH_INSIDE:-}" != 1 ]]; then
    VARNOSET_BENCH_INSIDE=1 exec "$(dirname "$0")/../desktop/harness.sh" -- "$0" "$build" "$runs"
fi
probe=$build/tests/bench/startup_probe

measure() {  # label icon-name program...
    local label=$1 name=$2; shift 2
    local times=() mems=()
    for ((i = 0; i < runs; i++)); do
        read -r ms kb < <("$probe" "$name" 1500 "$@")
        times+=("$ms"); mems+=("$kb")
        sleep 0.3
    done
    local tmed mmed
    tmed=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    mmed=$(printf '%s\n' "${mems[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    printf '%-22s median %7.1f ms to the tray icon   median %6.1f MB resident (%d runs)\n' \
        "$label" "$tmed" "$(echo "$mmed / 1024" | bc -l)" "$runs"
}

"$build/varnoset" & first=$!   # warm the file cache once
sleep 1.5; kill $first; wait $first || true
measure "Varnoset" "Varnoset" "$build/varnoset"
measure "bare Qt tray program" "BareTray" "$build/tests/bench/bare_tray"
