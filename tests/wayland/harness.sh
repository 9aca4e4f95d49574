#!/usr/bin/env bash
# Runs a command in a private headless Wayland session and stops everything it started afterwards.
#
#   harness.sh [--desktop sway|gnome] [--] command [args...]
#
# Either session has a private session bus, PipeWire and the screenshot portal.
#   sway   (the default) sway on the headless backend (one 1280x720 output, swaybar as the tray
#          host, Xwayland on demand), xdg-desktop-portal with its wlroots and GTK backends. sway
#          binds Print to `$VARNOSET_BIN --capture desktop` and Alt+Print to
#          `$VARNOSET_BIN --capture window`. Exported: SWAYSOCK, VARNOSET_WAYVNC_PORT (a wayvnc
#          server for pointer input).
#   gnome  GNOME Shell 43 headless (one 1280x720 virtual monitor, no Xwayland), with the
#          AppIndicator extension as the tray host, gsd-media-keys for the custom shortcuts and
#          xdg-desktop-portal with its GNOME backend, whose first screenshot asks the user; a
#          private, empty system bus stands in for logind. Input goes through Mutter's
#          RemoteDesktop interface (mutter_input.py beside this script, as VARNOSET_MUTTER_INPUT).
# Both refuse to run as root: run as root (as CI does), the harness creates the user
# varnoset-wl and runs the session and the command as that user; binaries it cannot read are
# copied to a world-readable folder first. Exported for the command: XDG_RUNTIME_DIR,
# WAYLAND_DISPLAY, XDG_SESSION_TYPE=wayland, XDG_CURRENT_DESKTOP (sway or GNOME),
# DBUS_SESSION_BUS_ADDRESS, VARNOSET_BIN, VARNOSET_TEST_ROOT (the private folder),
# VARNOSET_DESKTOP (sway or gnome), VARNOSET_SUPPORT (the folder of the shell helpers in
# tests/support, or of their copies); private HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and TMPDIR.
set -uo pipefail

desktop=${VARNOSET_DESKTOP:-sway}
if [[ "${1:-}" == "--desktop" ]]; then
    desktop=${2:-}
    shift 2
fi
[[ "${1:-}" == "--" ]] && shift
[[ $# -gt 0 && ("$desktop" == sway || "$desktop" == gnome) ]] ||
    { echo "usage: $0 [--desktop sway|gnome] [--] command [args...]" >&2; exit 2; }

test_user=varnoset-wl
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# shellcheck source=../support/wait_for.sh
. "$here/../support/wait_for.sh"
# shellcheck source=../support/session.sh
. "$here/../support/session.sh"

# Whether xdg-desktop-portal answers for screenshots; its first answer waits for its backend.
screenshot_portal_ready() {
    gdbus call --session --timeout 25 --dest org.freedesktop.portal.Desktop \
        --object-path /org/freedesktop/portal/desktop \
        --method org.freedesktop.DBus.Properties.Get org.freedesktop.portal.Screenshot version
}

# The inner part's sessions; each starts its desktop on the prepared bus and exports what the
# command needs.
start_sway() {
    # xdg-desktop-portal-wlr ends at start-up without PipeWire, even for screenshots.
    setsid pipewire </dev/null >"$root/log/pipewire.log" 2>&1 &
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        setsid sway -c "$root/sway.conf" </dev/null >"$root/log/sway.log" 2>&1 &
    wait_for 20 sh -c 'ls "$XDG_RUNTIME_DIR"/wayland-[0-9] && ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock' ||
        { echo "wayland harness: sway did not start" >&2; cat "$root/log/sway.log" >&2; return 1; }
    WAYLAND_DISPLAY=$(basename "$(ls "$run"/wayland-[0-9] | head -n1)")
    SWAYSOCK=$(ls "$run"/sway-ipc.*.sock | head -n1)
    export WAYLAND_DISPLAY SWAYSOCK
    # The portals are started by the bus and take its activation environment.
    dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE \
        XDG_RUNTIME_DIR HOME TMPDIR
    wait_for 20 has_owner org.kde.StatusNotifierWatcher ||
        { echo "wayland harness: no tray host" >&2; cat "$root/log/sway.log" >&2; return 1; }
    # The screenshot portal's wlroots backend, started here: started by the bus at the first
    # request, it kept that request waiting for the bus's 25 s time-out.
    setsid /usr/libexec/xdg-desktop-portal-wlr -r </dev/null >"$root/log/portal-wlr.log" 2>&1 &
    wait_for 20 has_owner org.freedesktop.impl.portal.desktop.wlr &&
        wait_for 30 screenshot_portal_ready ||
        { echo "wayland harness: no screenshot portal" >&2; cat "$root/log/portal-wlr.log" >&2; return 1; }
    export VARNOSET_WAYVNC_PORT=$((20000 + RANDOM % 20000))
    wayvnc 127.0.0.1 "$VARNOSET_WAYVNC_PORT" </dev/null >"$root/log/wayvnc.log" 2>&1 &
    wait_for 10 sh -c "swaymsg -t get_seats | grep -q '\"capabilities\": [1-9]'" ||
        { echo "wayland harness: wayvnc did not start" >&2; cat "$root/log/wayvnc.log" >&2; return 1; }
}

start_gnome() {
    # /run/systemd/seats exists here, so gnome-shell asks logind on the system bus: a private,
    # empty one answers it (and everyone else in the session) instead.
    dbus-daemon --session --nofork --address="unix:path=$run/system_bus" </dev/null \
        >"$root/log/system-bus.log" 2>&1 &
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$run/system_bus
    wait_for 10 test -S "$run/system_bus" || { echo "wayland harness: no system bus" >&2; return 1; }
    setsid pipewire </dev/null >"$root/log/pipewire.log" 2>&1 &
    setsid wireplumber </dev/null >"$root/log/wireplumber.log" 2>&1 &
    # The tray is an extension, switched on before the shell starts as a user's login has it;
    # without a display manager there is no screen lock to warn about.
    gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']" &&
        gsettings set org.gnome.desktop.lockdown disable-lock-screen true || return 1
    setsid gnome-shell --headless --wayland --no-x11 --virtual-monitor 1280x720 </dev/null \
        >"$root/log/gnome-shell.log" 2>&1 &
    disown  # it ends with a crash report when stopped; the session's end is not news
    wait_for 60 sh -c 'ls "$XDG_RUNTIME_DIR"/wayland-[0-9]' ||
        { echo "wayland harness: gnome-shell did not start" >&2; cat "$root/log/gnome-shell.log" >&2; return 1; }
    WAYLAND_DISPLAY=$(basename "$(ls "$run"/wayland-[0-9] | head -n1)")
    export WAYLAND_DISPLAY
    dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE \
        XDG_RUNTIME_DIR HOME TMPDIR DBUS_SYSTEM_BUS_ADDRESS
    wait_for 60 has_owner org.gnome.Mutter.RemoteDesktop ||
        { echo "wayland harness: no Mutter remote desktop" >&2; return 1; }
    setsid /usr/libexec/gsd-media-keys </dev/null >"$root/log/gsd-media-keys.log" 2>&1 &
    setsid /usr/libexec/xdg-desktop-portal-gnome </dev/null >"$root/log/portal-gnome.log" 2>&1 &
    wait_for 30 has_owner org.freedesktop.impl.portal.desktop.gnome ||
        { echo "wayland harness: no GNOME portal" >&2; cat "$root/log/portal-gnome.log" >&2; return 1; }
    setsid /usr/libexec/xdg-desktop-portal -r </dev/null >"$root/log/portal.log" 2>&1 &
    wait_for 30 screenshot_portal_ready ||
        { echo "wayland harness: no screenshot portal" >&2; cat "$root/log/portal.log" >&2; return 1; }
    wait_for 30 has_owner org.kde.StatusNotifierWatcher && wait_for 30 has_owner org.freedesktop.Notifications ||
        { echo "wayland harness: no tray host or notifications" >&2; cat "$root/log/gnome-shell.log" >&2; return 1; }
    # The shell starts in the overview; Esc leaves it (the seat's first key is lost).
    "$VARNOSET_MUTTER_INPUT" key:ffe1 key:ff1b >>"$root/log/mutter-input.log" 2>&1 ||
        { echo "wayland harness: no input through Mutter" >&2; return 1; }
}

# The inner part: runs as the session's user, in the prepared root folder.
if [[ "${VARNOSET_WL_INNER:-}" == 1 ]]; then
    unset VARNOSET_WL_INNER DISPLAY WAYLAND_DISPLAY SWAYSOCK
    root=$VARNOSET_TEST_ROOT
    run=$root/runtime
    export XDG_RUNTIME_DIR=$run XDG_SESSION_TYPE=wayland VARNOSET_DESKTOP=$desktop
    [[ "$desktop" == gnome ]] && export XDG_CURRENT_DESKTOP=GNOME || export XDG_CURRENT_DESKTOP=sway
    export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
    export XDG_CACHE_HOME=$root/home/.cache TMPDIR=$root/tmp
    trap 'stop_session "$run"' EXIT
    trap 'exit 130' INT TERM
    start_session_bus "$run" "$root/log/dbus.log" ||
        { echo "wayland harness: no session bus" >&2; exit 1; }
    start_$desktop || exit 1
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
        local folder=$root/bin${2:+/$2}
        folder=${folder%/.}  # "." is bin itself: the path the program reports has no "/./"
        mkdir -p "$folder" && cp -p "$1" "$folder/" && echo "$folder/$(basename "$1")"
    fi
}
command=("$@")
command[0]=$(command -v "${command[0]}") || { echo "wayland harness: no $1" >&2; exit 2; }
command[0]=$(reachable "${command[0]}" .)
harness=$(reachable "$here/harness.sh" wayland)
reachable "$here/../support/wait_for.sh" support >/dev/null
VARNOSET_SUPPORT=$(dirname "$(reachable "$here/../support/session.sh" support)")
export VARNOSET_SUPPORT
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

export VARNOSET_MUTTER_INPUT=$(reachable "$here/mutter_input.py" wayland)
VARNOSET_WL_INNER=1 "${run_as[@]}" env VARNOSET_WL_INNER=1 VARNOSET_TEST_ROOT="$root" \
    VARNOSET_BIN="$VARNOSET_BIN" VARNOSET_MUTTER_INPUT="$VARNOSET_MUTTER_INPUT" \
    VARNOSET_SUPPORT="$VARNOSET_SUPPORT" \
    "$harness" --desktop "$desktop" "${command[@]}"
rc=$?
if ((rc != 0)); then
    for f in sway wayvnc gnome-shell; do
        [[ -s "$root/log/$f.log" ]] && { echo "--- $f.log"; tail -n 20 "$root/log/$f.log"; } >&2
    done
fi
exit $rc
