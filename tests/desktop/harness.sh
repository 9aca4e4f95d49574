#!/usr/bin/env bash
# Runs a command on a private virtual desktop and stops everything it started afterwards.
#
#   harness.sh [--desktop openbox|xfce|kde] [--cups] [--ipp] [--pulse] [--atspi] [--keep-print]
#              [--] command [args...]
#   harness.sh --start trayer|cupsd|pulse|xfsettingsd|xfce4-panel
#
# The second form runs inside a harness run (it needs the exported environment): it starts that
# service again exactly as the harness first started it, after a test has stopped it, waits until
# it answers and prints its pid. The harness stops it with the rest at the end.
#
# Always: Xvfb (1920x1080, depth 24) on a free display and a desktop on it. Private
# XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR, TMPDIR and HOME, so nothing of the user's is
# touched. The desktop:
#   openbox  (the default) openbox (without its own Print bindings, so the key can be grabbed,
#            unless --keep-print) and trayer as the system tray (XEmbed); no session bus
#   xfce     Xfce as Debian installs it, on a private session bus: xfsettingsd (holding Print,
#            Alt+Print and Shift+Print for xfce4-screenshooter, from the stock shortcuts), xfwm4,
#            xfce4-panel along the top whose status tray is a StatusNotifierItem host (and an
#            XEmbed tray), and xfce4-notifyd for notifications
#   kde      KDE Plasma 5.27 on X11, on a private session bus: kwin_x11, kded5 (the
#            StatusNotifierWatcher), kglobalaccel5 (which holds Print for Spectacle) and
#            plasmashell, whose panel along the bottom holds the system tray and shows
#            notifications
#   --cups   a private cupsd on its own socket with a queue FILE (the default) whose file: device
#            writes PostScript to $VARNOSET_CUPS_OUT
#   --ipp    (implies --cups) also a driverless IPP Everywhere printer beside FILE: ippeveprinter,
#            announced by a private avahi-daemon on a private system bus, behind the queue IPP
#            that `lpadmin -m everywhere` makes from what the printer reports; the documents it
#            receives stay in $VARNOSET_IPP_SPOOL
#   --pulse  a private PulseAudio server with a null sink "test_sink"
#   --atspi  the accessibility bus (at-spi-bus-launcher) on the session bus (the desktop's, or a
#            private one with openbox), with a screen reader announced as running, as Orca does,
#            so that programs started later expose their accessible tree
#   --keep-print  openbox keeps its own Print and Alt+Print bindings, as a desktop that holds the
#            key does. A test drops them later by removing them from $VARNOSET_OPENBOX_RC and
#            running `openbox --reconfigure`.
# Exported for the command: DISPLAY, QT_QPA_PLATFORM=xcb, VARNOSET_TEST_ROOT (the private folder),
# VARNOSET_DESKTOP (openbox, xfce or kde), and with the services CUPS_SERVER, VARNOSET_CUPS_DIR,
# VARNOSET_CUPS_OUT, VARNOSET_IPP_SPOOL, PULSE_SERVER; with xfce and kde DBUS_SESSION_BUS_ADDRESS
# and XDG_CURRENT_DESKTOP (XFCE or KDE, with KDE's other session variables).
# The pids of the services, for tests that stop one while the program runs: VARNOSET_TRAYER_PID
# (openbox), VARNOSET_XFSETTINGSD_PID and VARNOSET_PANEL_PID (xfce), and with the services
# VARNOSET_CUPSD_PID, VARNOSET_PULSE_PID; VARNOSET_HARNESS is this script, VARNOSET_SUPPORT the
# folder of the shell helpers in tests/support.
#
# The screen, for either form of the first line:
#   --screen WxH   the size of Xvfb's one screen instead of 1920x1080
#   --monitor "NAME W/MMxH/MM+X+Y"   a RandR monitor on the screen (`xrandr --setmonitor`), once
#            per monitor; a NAME starting with "*" is the primary one. The first takes the screen's
#            output, so only the monitors given are listed. RandR forgets them when the last
#            client leaves, so they are made once the window manager runs.
set -uo pipefail

screen_size=1920x1080
monitors=()
desktop=openbox
want_cups=0
want_ipp=0
want_pulse=0
want_atspi=0
keep_print=0
restart=""
while [[ $# -gt 0 ]]; do
    case "$1" in
        --screen) screen_size=${2:-}; shift ;;
        --desktop) desktop=${2:-}; shift ;;
        --monitor) monitors+=("${2:-}"); shift ;;
        --cups) want_cups=1 ;;
        --ipp) want_cups=1 want_ipp=1 ;;
        --pulse) want_pulse=1 ;;
        --atspi) want_atspi=1 ;;
        --keep-print) keep_print=1 ;;
        --start) restart=${2:-}; shift ;;
        --) shift; break ;;
        *) break ;;
    esac
    shift
done
usage() {
    echo "usage: $0 [--desktop openbox|xfce|kde] [--cups] [--ipp] [--pulse] [--atspi]" \
        "[--keep-print] [--] command [args...]" >&2
    echo "       $0 --start trayer|cupsd|pulse|xfsettingsd|xfce4-panel   (inside a harness run)" >&2
    echo "       before the command also: [--screen WxH] [--monitor 'NAME W/MMxH/MM+X+Y']..." >&2
    exit 2
}
[[ -n "$restart" || $# -gt 0 ]] || usage
[[ "$screen_size" =~ ^[0-9]+x[0-9]+$ ]] || usage
[[ "$desktop" =~ ^(openbox|xfce|kde)$ ]] || usage

# shellcheck source=../support/wait_for.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/wait_for.sh"
# shellcheck source=../support/session.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/session.sh"

# Whether a window manager runs on the display.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }

# Each start_* launches its service in the background, sets `started` to its pid and waits until
# it answers; they read $root and the exported variables.
start_trayer() {
    trayer --edge bottom --align right --widthtype pixel --width 200 --heighttype pixel --height 32 \
        --SetDockType true --SetPartialStrut true --transparent false --tint 0x808080 \
        </dev/null >>"$root/log/trayer.log" 2>&1 &
    started=$!
    wait_for 10 sh -c 'xwininfo -root -tree | grep -q "\"panel\" \"trayer\""' ||
        { echo "harness: trayer did not start" >&2; return 1; }
}

# Xfce's parts, each as its session starts it (without the session manager). GTK's accessibility
# bridge stays off: it would start a second bus per program.
xfce_env=(env NO_AT_BRIDGE=1)
start_xfsettingsd() {
    "${xfce_env[@]}" xfsettingsd --sm-client-disable </dev/null >>"$root/log/xfsettingsd.log" 2>&1 &
    started=$!
    wait_for 15 has_owner org.xfce.SettingsDaemon ||
        { echo "harness: xfsettingsd did not start" >&2; return 1; }
}

start_xfwm4() {
    "${xfce_env[@]}" xfwm4 --sm-client-disable --compositor=off </dev/null \
        >>"$root/log/xfwm4.log" 2>&1 &
    started=$!
    wait_for 15 wm_running ||
        { echo "harness: xfwm4 did not start" >&2; return 1; }
}

start_xfce4_panel() {
    "${xfce_env[@]}" xfce4-panel --sm-client-disable </dev/null >>"$root/log/xfce4-panel.log" 2>&1 &
    started=$!
    wait_for 20 has_owner org.kde.StatusNotifierWatcher ||
        { echo "harness: xfce4-panel did not start" >&2; cat "$root/log/xfce4-panel.log" >&2; return 1; }
}

start_xfce4_notifyd() {
    local notifyd
    notifyd=$(ls /usr/lib/*/xfce4/notifyd/xfce4-notifyd 2>/dev/null | head -n1)
    [[ -x "$notifyd" ]] || { echo "harness: no xfce4-notifyd" >&2; return 1; }
    "${xfce_env[@]}" "$notifyd" </dev/null >>"$root/log/xfce4-notifyd.log" 2>&1 &
    started=$!
    wait_for 15 has_owner org.freedesktop.Notifications ||
        { echo "harness: xfce4-notifyd did not start" >&2; return 1; }
}

# Plasma's parts, in the order its session starts them; Qt Quick draws without a GPU.
start_kde() {
    kwin_x11 --replace </dev/null >>"$root/log/kwin.log" 2>&1 &
    pids+=($!)
    wait_for 30 wm_running ||
        { echo "harness: kwin_x11 did not start" >&2; return 1; }
    kded5 </dev/null >>"$root/log/kded5.log" 2>&1 &
    pids+=($!)
    kglobalaccel5 </dev/null >>"$root/log/kglobalaccel5.log" 2>&1 &
    pids+=($!)
    QT_QUICK_BACKEND=software plasmashell </dev/null >>"$root/log/plasmashell.log" 2>&1 &
    pids+=($!)
    export VARNOSET_PLASMASHELL_PID=$!
    wait_for 60 has_owner org.kde.StatusNotifierWatcher && wait_for 60 has_owner org.kde.kglobalaccel &&
        wait_for 60 has_owner org.freedesktop.Notifications ||
        { echo "harness: Plasma did not start" >&2; tail -n 20 "$root/log/plasmashell.log" >&2; return 1; }
}

start_cupsd() {
    local c=$VARNOSET_CUPS_DIR
    cupsd -f -c "$c/etc/cupsd.conf" -s "$c/etc/cups-files.conf" </dev/null \
        >>"$root/log/cupsd.log" 2>&1 &
    started=$!
    wait_for 15 sh -c 'lpstat -r | grep -q "is running"' ||
        { echo "harness: cupsd did not start" >&2; cat "$c/log/error_log" >&2; return 1; }
    # A first start, or a server stopped before it wrote its printers down, has no queue yet.
    if ! lpstat -p FILE >/dev/null 2>&1; then
        lpadmin -p FILE -E -v "file://$VARNOSET_CUPS_OUT" -m drv:///sample.drv/generic.ppd \
            2>/dev/null && lpadmin -d FILE ||
            { echo "harness: could not add the FILE queue" >&2; return 1; }
    fi
}

# The IPP printer's three processes, each recorded in pids as it starts; they read $root/ipp.
start_ipp() {
    local i=$root/ipp port
    local bus=unix:path=$i/system_bus
    mkdir -p "$i"/{spool,run}
    # avahi-daemon on a system bus of its own, seen by nobody else, publishing on loopback only.
    printf '%s\n' '<busconfig><type>system</type>' "<listen>$bus</listen>" \
        '<policy context="default"><allow user="*"/><allow own="*"/>' \
        '<allow send_destination="*"/><allow receive_sender="*"/></policy></busconfig>' \
        >"$i/bus.conf"
    printf '%s\n' '[server]' 'use-ipv6=no' 'allow-interfaces=lo' '[publish]' \
        'publish-workstation=no' >"$i/avahi.conf"
    dbus-daemon --config-file="$i/bus.conf" --nofork </dev/null >>"$root/log/ipp.log" 2>&1 &
    pids+=($!)
    wait_for 10 test -S "$i/system_bus" || { echo "harness: no system bus" >&2; return 1; }
    # Its pid file lives in /run: a /run of its own keeps it from any other avahi-daemon.
    DBUS_SYSTEM_BUS_ADDRESS=$bus unshare --mount --propagation private \
        sh -c 'mount --bind "$1" /run && shift && exec "$@"' sh "$i/run" \
        avahi-daemon --no-drop-root --no-chroot --no-rlimits -f "$i/avahi.conf" \
        </dev/null >>"$root/log/avahi.log" 2>&1 &
    pids+=($!)
    wait_for 10 grep -q "Server startup complete" "$root/log/avahi.log" ||
        { echo "harness: avahi-daemon did not start" >&2; cat "$root/log/avahi.log" >&2; return 1; }
    # A free port: ippeveprinter ends at once when the port is taken, so try the next.
    for port in $(shuf -i 20000-60000 -n 10); do
        DBUS_SYSTEM_BUS_ADDRESS=$bus ippeveprinter -k -d "$i/spool" -p "$port" \
            -f image/pwg-raster,application/pdf "Varnoset IPP" \
            </dev/null >>"$root/log/ipp.log" 2>&1 &
        started=$!
        wait_for 10 sh -c "! kill -0 $started 2>/dev/null || ipptool -q \
            ipp://localhost:$port/ipp/print get-printer-attributes.test" 2>/dev/null
        kill -0 "$started" 2>/dev/null && break
        wait "$started" 2>/dev/null
        started=""
    done
    [[ -n "$started" ]] || { echo "harness: ippeveprinter did not start" >&2; return 1; }
    pids+=($started)
    export VARNOSET_IPP_SPOOL=$i/spool
    # CUPS asks the printer what it can do and writes the queue's PPD from the answer.
    lpadmin -p IPP -E -v "ipp://localhost:$port/ipp/print" -m everywhere ||
        { echo "harness: could not add the IPP queue" >&2; return 1; }
}

start_pulse() {
    env -u DISPLAY pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
        --use-pid-file=no --log-target=stderr --load="module-null-sink sink_name=test_sink" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$root/pulse/native" \
        </dev/null >>"$root/log/pulse.log" 2>&1 &
    started=$!
    wait_for 10 pactl info || { echo "harness: pulseaudio did not start" >&2; return 1; }
}

# Runs a start_* function for the harness's own run: records the service's pid, and ends the
# harness when it does not start.
start_or_exit() {
    local rc
    "$1"; rc=$?
    pids+=($started)
    ((rc == 0)) || exit 1
}

# The second form asks the running harness, through its request pipe, to start the service: so
# the service is a child of the harness, which stops it and collects it at the end.
if [[ -n "$restart" ]]; then
    case "$restart" in trayer | cupsd | pulse | xfsettingsd | xfce4-panel) ;; *) usage ;; esac
    root=${VARNOSET_TEST_ROOT:?"--start runs inside a harness run"}
    [[ -p "$root/start.fifo" ]] || { echo "harness: no harness is running here" >&2; exit 1; }
    request=$$-$RANDOM
    echo "$restart $request" >"$root/start.fifo"
    wait_for 60 test -f "$root/start.$request" || { echo "harness: no answer" >&2; exit 1; }
    read -r reply <"$root/start.$request"
    rm -f "$root/start.$request"
    [[ "$reply" =~ ^[0-9]+$ ]] || { echo "harness: $restart did not start" >&2; exit 1; }
    echo "$reply"
    exit 0
fi

root=$(mktemp -d "${TMPDIR:-/tmp}/varnoset-desktop.XXXXXX")
# Print filters run as the user lp and must reach the queue's files below this folder.
chmod 755 "$root"
pids=()

# Whether the process has ended (gone, or a zombie not collected yet).
ended() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 0
    [[ -z "$state" || "$state" == Z ]]
}

# Services started again on a test's request, newest first; the request keeper collects them.
stop_restarted() {
    [[ -f "$root/restarted.pids" ]] || return 0
    local pid
    while read -r pid; do
        kill "$pid" 2>/dev/null
        for _ in $(seq 50); do ended "$pid" && break; sleep 0.1; done
        ended "$pid" || kill -9 "$pid" 2>/dev/null
    done < <(tac "$root/restarted.pids")
}

# Answers `harness.sh --start SERVICE`: starts the service as a child of its own and writes its
# pid, or "failed", to the file the request names.
keep_requests() {
    local service request
    while read -r service request; do
        [[ "$request" =~ ^[0-9-]+$ ]] || continue
        started=""
        case "$service" in
            trayer) [[ "$desktop" == openbox ]] && start_trayer ;;
            xfsettingsd) [[ "$desktop" == xfce ]] && start_xfsettingsd ;;
            xfce4-panel) [[ "$desktop" == xfce ]] && start_xfce4_panel ;;
            cupsd) ((want_cups)) && start_cupsd ;;
            pulse) ((want_pulse)) && start_pulse ;;
            *) false ;;
        esac
        if (($? == 0)); then
            echo "$started" >>"$root/restarted.pids"
            echo "$started" >"$root/start.$request.part"
        else
            [[ -n "$started" ]] && kill "$started" 2>/dev/null
            echo failed >"$root/start.$request.part"
        fi
        mv "$root/start.$request.part" "$root/start.$request"
    done <>"$root/start.fifo"
}

stop_all() {
    local i
    stop_restarted
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
    done
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        # cupsd may take a moment to go; give every process up to 5 s, then force it.
        for _ in $(seq 50); do kill -0 "${pids[i]}" 2>/dev/null || break; sleep 0.1; done
        kill -9 "${pids[i]}" 2>/dev/null
        wait "${pids[i]}" 2>/dev/null
    done
    # What the session bus started on demand (xfconfd, say) is nobody's child here.
    stop_session "$root/runtime"
    rm -rf "$root"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

mkdir -p "$root"/{config,data,runtime,tmp,home,log}
chmod 700 "$root/runtime"
export XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
export XDG_CACHE_HOME=$root/home/.cache
export TMPDIR=$root/tmp HOME=$root/home VARNOSET_TEST_ROOT=$root VARNOSET_DESKTOP=$desktop
VARNOSET_HARNESS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")
VARNOSET_SUPPORT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../support" && pwd)
export VARNOSET_HARNESS VARNOSET_SUPPORT
unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

# Xvfb picks a free display itself and writes its number once it listens.
Xvfb -displayfd 3 -screen 0 "${screen_size}x24" -nolisten tcp -noreset 3>"$root/display" \
    >"$root/log/xvfb.log" 2>&1 &
pids+=($!)
wait_for 15 test -s "$root/display" || { echo "harness: Xvfb did not start" >&2; cat "$root/log/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$root/display")
export QT_QPA_PLATFORM=xcb
wait_for 10 xdpyinfo || { echo "harness: display $DISPLAY does not answer" >&2; exit 1; }

if [[ "$desktop" == kde ]]; then
    start_session_bus "$root/runtime" "$root/log/dbus.log" ||
        { echo "harness: no session bus" >&2; exit 1; }
    export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 XDG_SESSION_TYPE=x11
    export LIBGL_ALWAYS_SOFTWARE=1
    start_kde || exit 1
elif [[ "$desktop" == xfce ]]; then
    start_session_bus "$root/runtime" "$root/log/dbus.log" ||
        { echo "harness: no session bus" >&2; exit 1; }
    export XDG_CURRENT_DESKTOP=XFCE
    channels=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
    mkdir -p "$channels"
    cp "$(dirname "${BASH_SOURCE[0]}")/xfce4-panel.xml" "$channels/xfce4-panel.xml"
    # The settings daemon first, as the session does: it holds the keys before anyone else asks.
    start_or_exit start_xfsettingsd
    export VARNOSET_XFSETTINGSD_PID=$started
    start_or_exit start_xfwm4
else
    # openbox binds Print and Alt+Print to its own command by default; drop those bindings unless the
    # test wants a desktop that holds the key.
    export VARNOSET_OPENBOX_RC=$root/openbox-rc.xml
    if ((keep_print)); then
        cp /etc/xdg/openbox/rc.xml "$VARNOSET_OPENBOX_RC"
    else
        sed -E '/<keybind key="(A-)?Print">/,/<\/keybind>/d' /etc/xdg/openbox/rc.xml >"$VARNOSET_OPENBOX_RC"
    fi
    openbox --sm-disable --config-file "$VARNOSET_OPENBOX_RC" >"$root/log/openbox.log" 2>&1 &
    pids+=($!)
    wait_for 10 wm_running ||
        { echo "harness: openbox did not start" >&2; exit 1; }
fi

if ((${#monitors[@]} > 0)); then
    output=$(xrandr | awk '/ connected/ {print $1; exit}')
    for ((i = 0; i < ${#monitors[@]}; i++)); do
        # shellcheck disable=SC2086 # NAME and GEOMETRY are two words
        xrandr --setmonitor ${monitors[i]} "$( ((i == 0)) && echo "$output" || echo none)" \
            >>"$root/log/xrandr.log" 2>&1 ||
            { echo "harness: could not make the monitor ${monitors[i]}" >&2; exit 1; }
    done
fi

if [[ "$desktop" == xfce ]]; then
    start_or_exit start_xfce4_panel
    export VARNOSET_PANEL_PID=$started
    start_or_exit start_xfce4_notifyd
elif [[ "$desktop" == openbox ]]; then
    start_or_exit start_trayer
    export VARNOSET_TRAYER_PID=$started
fi

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
    start_or_exit start_cupsd
    export VARNOSET_CUPSD_PID=$started
    if ((want_ipp)); then
        start_ipp || exit 1
    fi
fi

if ((want_pulse)); then
    mkdir -p "$root/pulse"
    export PULSE_SERVER=unix:$root/pulse/native
    start_or_exit start_pulse
    export VARNOSET_PULSE_PID=$started
fi

if ((want_atspi)); then
    if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]]; then
        start_session_bus "$root/runtime" "$root/log/dbus.log" ||
            { echo "harness: no session bus" >&2; exit 1; }
    fi
    /usr/libexec/at-spi-bus-launcher --launch-immediately </dev/null >"$root/log/atspi.log" 2>&1 &
    pids+=($!)
    wait_for 10 has_owner org.a11y.Bus ||
        { echo "harness: the accessibility bus did not start" >&2; exit 1; }
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.freedesktop.DBus.Properties.Set org.a11y.Status ScreenReaderEnabled \
        '<true>' >/dev/null || { echo "harness: could not announce a screen reader" >&2; exit 1; }
fi

mkfifo "$root/start.fifo"
# The keeper must not run the harness's own exit steps when it is stopped, so it starts without
# them (a subshell keeps the traps until it gets to reset them itself).
trap - EXIT INT TERM
keep_requests &
pids+=($!)
trap stop_all EXIT
trap 'exit 130' INT TERM

"$@"
rc=$?
exit $rc
