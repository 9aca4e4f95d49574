#!/usr/bin/env bash
# Runs a command in a private headless Wayland session and stops everything it started afterwards.
#
#   harness.sh [--] command [args...]
#
# The session: a private session bus, PipeWire, sway on the headless backend (one 1280x720
# output, swaybar as the tray host, Xwayland on demand) and the screenshot portal
# (xdg-desktop-portal with its wlroots and GTK backends). sway binds
# Print to `$VARNOSET_BIN --capture desktop` and Alt+Print to `$VARNOSET_BIN --capture window`.
# sway refuses to run as root: run as root (as CI does), the harness creates the user
# varnoset-wl and runs the session and the command as that user; binaries it cannot read are
# copied to a world-readable folder first. Exported for the command: XDG_RUNTIME_DIR,
# WAYLAND_DISPLAY, XDG_SESSION_TYPE=wayland, XDG_CURRENT_DESKTOP=sway, DBUS_SESSION_BUS_ADDRESS,
# SWAYSOCK, VARNOSET_BIN, VARNOSET_TEST_ROOT (the private folder), VARNOSET_WAYVNC_PORT (a
# wayvnc server for pointer input); private HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and TMPDIR.
set -uo pipefail

[[ "${1:-}" == "--" ]] && shift
[[ $# -gt 0 ]] || { echo "usage: $0 [--] command [args...]" >&2; exit 2; }

test_user=varnoset-wl
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# shellcheck source=../support/wait_for.sh
. "$here/../support/wait_for.sh"
# shellcheck source=../support/session.sh
. "$here/../support/session.sh"

# The inner part: runs as the session's user, in the prepared root folder.
if [[ "${VARNOSET_WL_INNER:-}" == 1 ]]; then
    unset VARNOSET_WL_INNER DISPLAY WAYLAND_DISPLAY SWAYSOCK
    root=$VARNOSET_TEST_ROOT
    run=$root/runtime
    export XDG_RUNTIME_DIR=$run XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland
    export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
    export XDG_CACHE_HOME=$root/home/.cache TMPDIR=$root/tmp
    trap 'stop_session "$run"' EXIT
    trap 'exit 130' INT TERM
    start_session_bus "$run" "$root/log/dbus.log" ||
        { echo "wayland harness: no session bus" >&2; exit 1; }
    # xdg-desktop-portal-wlr ends at start-up without PipeWire, even for screenshots.
    setsid pipewire </dev/null >"$root/log/pipewire.log" 2>&1 &
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        setsid sway -c "$root/sway.conf" </dev/null >"$root/log/sway.log" 2>&1 &
    wait_for 20 sh -c 'ls "$XDG_RUNTIME_DIR"/wayland-[0-9] && ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock' ||
        { echo "wayland harness: sway did not start" >&2; cat "$root/log/sway.log" >&2; exit 1; }
    WAYLAND_DISPLAY=$(basename "$(ls "$run"/wayland-[0-9] | head -n1)")
    SWAYSOCK=$(ls "$run"/sway-ipc.*.sock | head -n1)
    export WAYLAND_DISPLAY SWAYSOCK
    # The portals are started by the bus and take its activation environment.
    dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE \
        XDG_RUNTIME_DIR HOME TMPDIR
    wait_for 20 has_owner org.kde.StatusNotifierWatcher ||
        { echo "wayland harness: no tray host" >&2; cat "$root/log/sway.log" >&2; exit 1; }
    # The screenshot portal's wlroots backend, started here: started by the bus at the first
    # request, it kept that request waiting for the bus's 25 s time-out.
    setsid /usr/libexec/xdg-desktop-portal-wlr -r </dev/null >"$root/log/portal-wlr.log" 2>&1 &
    wait_for 20 has_owner org.freedesktop.impl.portal.desktop.wlr &&
        wait_for 30 gdbus call --session --timeout 25 --dest org.freedesktop.portal.Desktop \
            --object-path /org/freedesktop/portal/desktop \
            --method org.freedesktop.DBus.Properties.Get org.freedesktop.portal.Screenshot version ||
        { echo "wayland harness: no screenshot portal" >&2; cat "$root/log/portal-wlr.log" >&2; exit 1; }
    export VARNOSET_WAYVNC_PORT=$((20000 + RANDOM % 20000))
    wayvnc 127.0.0.1 "$VARNOSET_WAYVNC_PORT" </dev/null >"$root/log/wayvnc.log" 2>&1 &
    wait_for 10 sh -c "swaymsg -t get_seats | grep -q '\"capabilities\": [1-9]'" ||
        { echo "wayland harness: wayvnc did not start" >&2; cat "$root/log/wayvnc.log" >&2; exit 1; }
    export QT_QPA_PLATFORM=wayland
    "$@"
    exit $?
fi

root=$(mktemp -d "${TMPDIR:-/tmp}/varnoset-wayland.XXXXXX")
chmod 755 "$root"
mkdir -p "$root"/{runtime,home,config,data,tmp,log,bin}
chmod 700 "$root/runtime"
export VARNOSET_TEST_ROOT=$root

run_as=()
if ((EUID == 0)); then
    id "$test_user" >/dev/null 2>&1 ||
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
            "$test_user" || { echo "wayland harness: cannot create $test_user" >&2; exit 1; }
    chown -R "$test_user:" "$root"/{runtime,home,config,data,tmp,log}
    run_as=(runuser -u "$test_user" --)
fi

finish() {
    # The inner part stops its session; this catches what a killed inner part left behind.
    stop_session "$root/runtime"
    rm -rf "$root"
}
trap finish EXIT
trap 'exit 130' INT TERM

# What the session's user runs or reads must be reachable for it (a clone under /root is not):
# each file it cannot read is copied to a world-readable folder, and used from there.
readable() { "${run_as[@]}" test -r "$1"; }
reachable() {
    if readable "$1"; then
        echo "$1"
    else
        mkdir -p "$root/bin/$2" && cp -p "$1" "$root/bin/$2/" && echo "$root/bin/$2/$(basename "$1")"
    fi
}
command=("$@")
command[0]=$(command -v "${command[0]}") || { echo "wayland harness: no $1" >&2; exit 2; }
command[0]=$(reachable "${command[0]}" .)
harness=$(reachable "$here/harness.sh" wayland)
reachable "$here/../support/wait_for.sh" support >/dev/null
reachable "$here/../support/session.sh" support >/dev/null
export VARNOSET_BIN=${VARNOSET_BIN:+$(reachable "$VARNOSET_BIN" .)}
export VARNOSET_BIN=${VARNOSET_BIN:-varnoset}
[[ -n "${VARNOSET_RFB_POINTER:-}" ]] &&
    export VARNOSET_RFB_POINTER=$(reachable "$VARNOSET_RFB_POINTER" wayland)
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]+) ]]; then
    LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$(reachable "${BASH_REMATCH[1]}" support)}
    export LSAN_OPTIONS
fi
chmod -R a+rX "$root/bin"

sed "s|@VARNOSET_BIN@|$VARNOSET_BIN|g" "$here/sway.conf.in" >"$root/sway.conf"
chmod 644 "$root/sway.conf"

VARNOSET_WL_INNER=1 "${run_as[@]}" env VARNOSET_WL_INNER=1 VARNOSET_TEST_ROOT="$root" \
    VARNOSET_BIN="$VARNOSET_BIN" "$harness" "${command[@]}"
rc=$?
if ((rc != 0)); then
    for f in sway wayvnc; do
        [[ -s "$root/log/$f.log" ]] && { echo "--- $f.log"; tail -n 20 "$root/log/$f.log"; } >&2
    done
fi
exit $rc
