#!/usr/bin/env bash
# Every benchmark and its peer tools in one run, on one private virtual desktop (Xvfb 1920x1080,
# openbox, trayer, a private CUPS server and PulseAudio null sink), then one table of medians:
# printed, and written as Markdown to BUILD_DIR/bench-table.md. A benchmark that fails or misses
# its goal is reported and the run goes on; the exit status says whether all of them passed.
#   bench_all.sh BUILD_DIR [N]     N repetitions of each measure (default 15)
# BUILD_DIR is a Release build configured with -DVARNOSET_BENCH=ON (make bench makes one).
set -uo pipefail
here=$(realpath "$(dirname "$0")")
build=$(realpath "$1")
n=${2:-15}
if [[ "${VARNOSET_BENCH_INSIDE:-}" != 1 ]]; then
    VARNOSET_BENCH_INSIDE=1 exec "$here/../desktop/harness.sh" --cups --pulse -- "$0" "$build" "$n"
fi
source "$here/bench_lib.sh"

export VARNOSET_BENCH_ROWS=$TMPDIR/rows.tsv
: >"$VARNOSET_BENCH_ROWS"
log=$build/bench-log.txt
table=$build/bench-table.md
: >"$log"
load() { cut -d' ' -f1-3 /proc/loadavg; }
load_before=$(load)
started=$(date -u '+%Y-%m-%d %H:%M UTC')
failed=()

# section NAME COMMAND...: runs one benchmark, its report shown and kept in the log.
section() {
    local name=$1
    shift
    printf '\n######## %s (load %s)\n' "$name" "$(load)" | tee -a "$log"
    if ! "$@" 2>&1 | tee -a "$log"; then
        failed+=("$name")
        echo "######## $name: failed or missed its goal" | tee -a "$log"
    fi
}

settings() {
    local csv=$TMPDIR/settings.csv
    # The store's scratch folder is made in the current folder: the private home, on the disk
    # that holds ~/.config.
    (cd "$HOME" && bench_gbench "$csv" "$n" "$build/tests/bench/settings_bench") || return 1
    bench_row "options file: load every option" "$(bench_gbench_median "$csv" loadOptions)" µs
    bench_row "options file: save every option, synced" \
        "$(bench_gbench_median "$csv" saveOptionsSynced)" µs \
        "one synced write of the same size" "$(bench_gbench_median "$csv" oneFileSync)" \
        "the floor, same process"
    bench_row "options file: save every option, no sync" \
        "$(bench_gbench_median "$csv" saveOptionsUnsynced)" µs
}

section "start-up and idle memory" "$here/startup_bench.sh" "$build" "$n"
section "full-screen grab" "$here/capture_bench.sh" "$build" "$n"
section "key press to the main window" "$here/keypress_bench.sh" "$build" "$n"
section "picture files" "$here/files_bench.sh" "$build" "$n"
section "picture adjustments" "$here/imaging_bench.sh" "$build" "$n"
# Each print repetition is already the mean of 10 jobs, each waiting for the print filters.
section "printing" "$here/print_bench.sh" "$build" $(((n + 2) / 3))
section "settings store" settings

load_after=$(load)

{
    echo "Measured $started on $(nproc) cores, $(uname -r), shared with other work:" \
        "load average $load_before before, $load_after after. Medians of $n repetitions" \
        "(printing: $(((n + 2) / 3)) repetitions of 10 jobs). Ratio = peer / Varnoset:" \
        "above 1, Varnoset takes less time or memory."
    echo
    echo "| measure | Varnoset | peer | peer's figure | ratio | notes |"
    echo "|---|---:|---|---:|---:|---|"
    # Columns of a row: measure, Varnoset, unit, peer, peer's figure, note. A figure gets as many
    # digits as it needs; an empty one is a dash.
    awk -F'\t' '
        function figure(v, u) {
            if (v == "" || v == "nan") return "—"
            return sprintf(v < 10 ? "%.2f %s" : v < 100 ? "%.1f %s" : "%.0f %s", v, u)
        }
        function ratio(o, p) {
            if (o == "" || p == "" || o == "nan" || p == "nan" || o <= 0) return "—"
            return sprintf("%.2f", p / o)
        }
        {
            printf "| %s | %s | %s | %s | %s | %s |\n", $1, figure($2, $3), ($4 == "" ? "—" : $4),
                   figure($5, $3), ratio($2, $5), $6
        }' "$VARNOSET_BENCH_ROWS"
    ((${#failed[@]} == 0)) || echo -e "\nFailed or missed a goal: ${failed[*]} (see $log)."
} >"$table"

echo
cat "$table"
echo
echo "Table written to $table, the full reports to $log"
((${#failed[@]} == 0))
