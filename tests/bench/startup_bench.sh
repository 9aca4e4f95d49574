#!/usr/bin/env bash
# Time from exec to the tray icon (wall clock, and the CPU time the program used until then, which
# hardly moves when other work shares the machine), and resident memory while idle, for
# Varnoset, a bare Qt tray program, and the tray-resident screenshot tools Flameshot and ksnip
# where they are installed, on the same private virtual desktop in one run. Every program gets
# the same private session bus (Flameshot needs one) and a private configuration that shows the
# tray icon and no first-start dialog.
# Goals, against the bare program in the same run: the time to the icon within 1.3 times its
# time, the resident memory within 1.2 times its memory.
#   startup_bench.sh BUILD_DIR [RUNS]
set -euo pipefail
here=$(dirname "$0")
build=$(realpath "$1")
runs=${2:-15}
if [[ "${VARNOSET_BENCH_INSIDE:-}" != 1 ]]; then
    VARNOSET_BENCH_INSIDE=1 exec "$here/../desktop/harness.sh" -- "$0" "$build" "$runs"
fi
source "$here/bench_lib.sh"
probe=$build/tests/bench/startup_probe
idle_ms=1500

bus_pid=
if command -v dbus-daemon >/dev/null; then
    # A bus that starts no services: the desktops' notification daemons installed for the tests
    # would otherwise be started on demand here, fail without their session, and hold a program
    # that asks for notifications at start-up (ksnip) for the bus's 25 s timeout.
    cat >"$TMPDIR/session-bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$TMPDIR/session-bus</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    read -r address bus_pid < <(dbus-daemon --config-file="$TMPDIR/session-bus.conf" --fork \
        --nopidfile --print-address=1 --print-pid=1 | paste -sd' ')
    export DBUS_SESSION_BUS_ADDRESS=$address
    trap 'kill $bus_pid 2>/dev/null' EXIT
fi
mkdir -p "$XDG_CONFIG_HOME/flameshot" "$XDG_CONFIG_HOME/ksnip"
printf '%s\n' '[General]' showStartupLaunchMessage=false showHelp=false checkForUpdates=false \
    disabledTrayIcon=false showDesktopNotification=false startupLaunch=false \
    >"$XDG_CONFIG_HOME/flameshot/flameshot.ini"
printf '%s\n' '[Application]' UseTrayIcon=true StartMinimizedToTray=true \
    >"$XDG_CONFIG_HOME/ksnip/ksnip.conf"

varnoset_ms=
varnoset_cpu=
varnoset_mb=
peer_ms=
peer_mb=
measure() {  # label icon-name program...
    local label=$1 name=$2
    shift 2
    local i ms kb cpu times=() cpus=() mems=() log=$TMPDIR/startup-$name.log
    # The programs' own chatter goes to a log; the first run only warms the file cache.
    "$probe" "$name" 300 "$@" >/dev/null 2>>"$log" || true
    for ((i = 0; i < runs; i++)); do
        read -r ms kb cpu _ < <("$probe" "$name" "$idle_ms" "$@" 2>>"$log" || true)
        if [[ ${ms:-} == -* || -z ${ms:-} ]]; then  # one more try before giving up on it
            read -r ms kb cpu _ < <("$probe" "$name" "$idle_ms" "$@" 2>>"$log" || true)
        fi
        if [[ ${ms:-} == -* || -z ${ms:-} ]]; then
            echo "$label: no tray icon within 20 s in run $((i + 1)); left out. Its output:" >&2
            tail -n 5 "$log" >&2
            return 0
        fi
        times+=("$ms")
        cpus+=("$cpu")
        mems+=("$kb")
        sleep 0.3
    done
    local tmed cmed mmed
    tmed=$(printf '%s\n' "${times[@]}" | bench_median)
    cmed=$(printf '%s\n' "${cpus[@]}" | bench_median)
    mmed=$(printf '%s\n' "${mems[@]}" | awk '{printf "%.1f\n", $1 / 1024}' | bench_median)
    printf '%-22s median %7.1f ms to the tray icon (%5.1f ms CPU)   median %6.1f MB resident (%d runs)\n' \
        "$label" "$tmed" "$cmed" "$mmed" "$runs"
    peer_ms=$tmed peer_mb=$mmed
    if [[ -z $varnoset_ms ]]; then
        varnoset_ms=$tmed varnoset_cpu=$cmed varnoset_mb=$mmed
    else
        bench_row "exec to the tray icon" "$varnoset_ms" ms "$label" "$tmed" "process start to icon docked"
        bench_row "CPU time to the tray icon" "$varnoset_cpu" ms "$label" "$cmed" "all threads, until docked"
        bench_row "resident memory, idle ${idle_ms} ms" "$varnoset_mb" MB "$label" "$mmed" "VmRSS"
    fi
}

measure "Varnoset" "Varnoset" "$build/varnoset"
peer_ms=
measure "bare Qt tray program" "BareTray" "$build/tests/bench/bare_tray"
met=1
if [[ -n $varnoset_ms && -n $peer_ms ]]; then
    awk -v v="$varnoset_ms" -v vm="$varnoset_mb" -v b="$peer_ms" -v bm="$peer_mb" 'BEGIN {
        printf "against the bare program: time %.2f times (goal 1.3), memory %.2f times (goal 1.2)\n",
            v / b, vm / bm
        exit !(v <= 1.3 * b && vm <= 1.2 * bm) }' || met=0
fi
if command -v flameshot >/dev/null; then
    measure "Flameshot $(flameshot --version 2>/dev/null | awk 'NR == 1 {print $2}')" flameshot flameshot
else
    echo "Flameshot is not installed"
fi
if command -v ksnip >/dev/null; then
    measure "ksnip $(dpkg-query -W -f='${Version}' ksnip 2>/dev/null | cut -d- -f1)" ksnip ksnip
else
    echo "ksnip is not installed"
fi
((met))
