#!/usr/bin/env bash
# Runs a command on a private virtual desktop and stops everything it started afterwards.
#
#   harness.sh [--cups] [--pulse] [--] command [args...]
#
# Always: Xvfb (1920x1080, depth 24) on a free display, openbox (without its own Print bindings,
# so the key can be grabbed) and trayer as the system tray. Private XDG_CONFIG_HOME, XDG_DATA_HOME,
# XDG_RUNTIME_DIR, TMPDIR and HOME, so nothing of the user's is touched.
#   --cups   a private cupsd on its own socket with a queue FILE (the default) whose file: device
#            writes PostScript to $VARNOSET_CUPS_OUT
#   --pulse  a private PulseAudio server with a null sink "test_sink"
# Exported for the command: DISPLAY, QT_QPA_PLATFORM=xcb, VARNOSET_TEST_ROOT (the private folder),
# and with the services CUPS_SERVER, VARNOSET_CUPS_DIR, VARNOSET_CUPS_OUT, PULSE_SERVER.
set -uo pipefail

want_cups=0
want_pulse=0
while [[ $# -gt 0 ]]; do
    case "$1" in
        --cups) want_cups=1 ;;
        --pulse) want_pulse=1 ;;
        --) shift; break ;;
        *) break ;;
    esac
    shift
done
[[ $# -gt 0 ]] || { echo "usage: $0 [--cups] [--pulse] [--] command [args...]" >&2; exit 2; }

root=$(mktemp -d "${TMPDIR:-/tmp}/varnoset-desktop.XXXXXX")
# Print filters run as the user lp and must reach the queue's files below this folder.
chmod 755 "$root"
pids=()

stop_all() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
    done
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        # cupsd may take a moment to go; give every process up to 5 s, then force it.
        for _ in $(seq 50); do kill -0 "${pids[i]}" 2>/dev/null || break; sleep 0.1; done
        kill -9 "${pids[i]}" 2>/dev/null
        wait "${pids[i]}" 2>/dev/null
    done
    rm -rf "$root"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
    local limit=$1; shift
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

mkdir -p "$root"/{config,data,runtime,tmp,home,log}
chmod 700 "$root/runtime"
export XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
export XDG_CACHE_HOME=$root/home/.cache
export TMPDIR=$root/tmp HOME=$root/home VARNOSET_TEST_ROOT=$root
unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

# Xvfb picks a free display itself and writes its number once it listens.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$root/display" \
    >"$root/log/xvfb.log" 2>&1 &
pids+=($!)
wait_for 15 test -s "$root/display" || { echo "harness: Xvfb did not start" >&2; cat "$root/log/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$root/display")
export QT_QPA_PLATFORM=xcb
wait_for 10 xdpyinfo || { echo "harness: display $DISPLAY does not answer" >&2; exit 1; }

# openbox binds Print and Alt+Print to its own command by default; drop those bindings.
sed -E '/<keybind key="(A-)?Print">/,/<\/keybind>/d' /etc/xdg/openbox/rc.xml >"$root/openbox-rc.xml"
openbox --sm-disable --config-file "$root/openbox-rc.xml" >"$root/log/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    { echo "harness: openbox did not start" >&2; exit 1; }

trayer --edge bottom --align right --widthtype pixel --width 200 --heighttype pixel --height 32 \
    --SetDockType true --SetPartialStrut true --transparent false --tint 0x808080 \
    >"$root/log/trayer.log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xwininfo -root -tree | grep -q "\"panel\" \"trayer\""' ||
    { echo "harness: trayer did not start" >&2; exit 1; }

if ((want_cups)); then
    c=$root/cups
    mkdir -p "$c"/{etc/ppd,spool/tmp,cache,state,log,out}
    chmod 777 "$c/out"
    sed -E -e '/^(Listen|Port) /d' -e 's/^Browsing .*/Browsing No/' \
        -e 's/^IdleExitTimeout.*/IdleExitTimeout 0/' /etc/cups/cupsd.conf >"$c/etc/cupsd.conf"
    echo "Listen $c/state/cups.sock" >>"$c/etc/cupsd.conf"
    printf '%s\n' "ServerRoot $c/etc" "RequestRoot $c/spool" "TempDir $c/spool/tmp" \
        "CacheDir $c/cache" "StateDir $c/state" "ErrorLog $c/log/error_log" \
        "AccessLog $c/log/access_log" "PageLog $c/log/page_log" "Printcap $c/state/printcap" \
        "SystemGroup root lpadmin" "FileDevice Yes" >"$c/etc/cups-files.conf"
    export CUPS_SERVER=$c/state/cups.sock VARNOSET_CUPS_DIR=$c VARNOSET_CUPS_OUT=$c/out/out.ps
    cupsd -f -c "$c/etc/cupsd.conf" -s "$c/etc/cups-files.conf" >"$root/log/cupsd.log" 2>&1 &
    pids+=($!)
    wait_for 15 sh -c 'lpstat -r | grep -q "is running"' ||
        { echo "harness: cupsd did not start" >&2; cat "$c/log/error_log" >&2; exit 1; }
    lpadmin -p FILE -E -v "file://$VARNOSET_CUPS_OUT" -m drv:///sample.drv/generic.ppd 2>/dev/null &&
        lpadmin -d FILE || { echo "harness: could not add the FILE queue" >&2; exit 1; }
fi

if ((want_pulse)); then
    mkdir -p "$root/pulse"
    export PULSE_SERVER=unix:$root/pulse/native
    env -u DISPLAY pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
        --use-pid-file=no --log-target=stderr --load="module-null-sink sink_name=test_sink" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$root/pulse/native" \
        >"$root/log/pulse.log" 2>&1 &
    pids+=($!)
    wait_for 10 pactl info || { echo "harness: pulseaudio did not start" >&2; exit 1; }
fi

"$@"
rc=$?
exit $rc
