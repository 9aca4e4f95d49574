#!/bin/sh
# run_fuzz.sh FUZZER SECONDS SCRATCH SEEDS: fuzzes for a set time. New inputs go to SCRATCH, never
# to the committed seed corpus; a crashing input is kept in SCRATCH-crashes/ and fails the run.
set -eu
fuzzer=$1 seconds=$2 scratch=$3 seeds=$4
mkdir -p "$scratch" "$scratch-crashes"
# UBSan reports count as crashes too.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# Each input must be decided within seconds and without gigabytes: an input that takes longer or
# more fails the run, like a crash (the largest picture, 512 MB, fits under the limit).
exec "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=1536 -timeout=5 -print_final_stats=1 \
    -artifact_prefix="$scratch-crashes/" "$scratch" "$seeds"
