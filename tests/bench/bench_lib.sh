# Shared pieces of the bench scripts; source it, don't run it.
#
# A script that measures something prints its own lines and, with bench_row, also adds a row to
# the file named by VARNOSET_BENCH_ROWS when bench_all.sh runs it, so that one table collects
# every figure of one run. Alone, a script just prints.

# The median of the numbers on standard input (the mean of the two middle ones for an even count).
bench_median() {
    sort -g | awk '{a[NR] = $1} END {
        if (NR == 0) { print "nan"; exit }
        if (NR % 2) printf "%.3f\n", a[(NR + 1) / 2]
        else printf "%.3f\n", (a[NR / 2] + a[NR / 2 + 1]) / 2 }'
}

bench_now_us() { echo $(($(date +%s%N) / 1000)); }

# bench_process_ms RUNS COMMAND...: the median wall time in ms of RUNS runs of a whole process,
# after one untimed run that warms the caches. Its output is discarded; a failing run fails.
bench_process_ms() {
    local runs=$1 i start times=()
    shift
    "$@" >/dev/null 2>&1 || { echo "bench: '$*' failed" >&2; return 1; }
    for ((i = 0; i < runs; i++)); do
        start=$(bench_now_us)
        "$@" >/dev/null 2>&1 || { echo "bench: '$*' failed" >&2; return 1; }
        times+=("$(($(bench_now_us) - start))")
    done
    printf '%s\n' "${times[@]}" | awk '{printf "%.3f\n", $1 / 1000}' | bench_median
}

# bench_gbench_median CSV NAME: the median real time of benchmark NAME from a Google Benchmark
# CSV written with --benchmark_repetitions and --benchmark_out_format=csv (with one repetition
# there is no median row, and the one run stands for it).
bench_gbench_median() {
    awk -F, -v m="\"$2_median\"" -v n="\"$2\"" '
        $1 == m {median = $3} $1 == n {single = $3}
        END {print (median != "") ? median : (single != "") ? single : "nan"}' "$1"
}

# bench_gbench CSV REPETITIONS BINARY [ARGS...]: runs a Google Benchmark program with repetitions,
# its medians in milliseconds written to CSV and its own report on standard output.
bench_gbench() {
    local csv=$1 reps=$2
    shift 2
    "$@" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
        --benchmark_out="$csv" --benchmark_out_format=csv
}

# bench_row MEASURE VARNOSET UNIT [PEER PEER_VALUE [NOTE]]: one row of the table. VARNOSET and
# PEER_VALUE are medians in UNIT; PEER names the tool and says what its figure includes.
bench_row() {
    [[ -n ${VARNOSET_BENCH_ROWS:-} ]] || return 0
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "${4:-}" "${5:-}" "${6:-}" \
        >>"$VARNOSET_BENCH_ROWS"
}
