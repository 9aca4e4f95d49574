#!/usr/bin/env bash
# Times Print (through sway's binding and the command line) to the main window on the screen, in
# a Wayland session started by harness.sh: the median and the range of N runs in milliseconds.
# usage: harness.sh -- key_to_window.sh [N]
set -uo pipefail
runs=${1:-10}
# shellcheck source=../support/wait_for.sh
. "$VARNOSET_SUPPORT/wait_for.sh"
# shellcheck source=../support/session.sh
. "$VARNOSET_SUPPORT/session.sh"
"$VARNOSET_BIN" >"$TMPDIR/varnoset.log" 2>&1 &
program=$!
trap 'kill $program 2>/dev/null; wait $program 2>/dev/null' EXIT
in_tray() { tray_items | grep -q StatusNotifierItem; }
wait_for 10 in_tray
times=()
for _ in $(seq "$runs"); do
    # The window's first appearance is a "new" event, later ones a "focus" event.
    swaymsg -t subscribe '["window"]' >/dev/null &
    watcher=$!
    sleep 0.3
    start=$(date +%s%N)
    wtype -k Print
    wait $watcher
    times+=($((($(date +%s%N) - start) / 1000000)))
    sleep 0.5
    wtype -s 300 -k Escape
    sleep 1
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "key to window over ${runs} runs: median ${sorted[$((runs / 2))]} ms, min ${sorted[0]} ms, max ${sorted[-1]} ms (${times[*]})"
