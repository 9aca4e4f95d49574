# Sourced by the test harnesses: the processes of one private session, and its bus.

# The processes whose environment carries this runtime folder, this shell and its subshells left
# out: a session's processes all do (those the bus started on demand too), and no others.
session_pids() {
    local e p
    for e in /proc/[0-9]*/environ; do
        p=${e#/proc/}; p=${p%/environ}
        [[ "$p" == "$$" || "$p" == "$BASHPID" ]] && continue
        { tr '\0' '\n' <"$e"; } 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$1" && echo "$p"
    done
}

# Stops every process of the session with that runtime folder: politely, then after 3 s by force.
stop_session() {
    local run=$1 pids alive p
    mapfile -t pids < <(session_pids "$run")
    ((${#pids[@]})) || return 0
    kill "${pids[@]}" 2>/dev/null
    for _ in $(seq 30); do
        alive=()
        for p in "${pids[@]}"; do kill -0 "$p" 2>/dev/null && alive+=("$p"); done
        ((${#alive[@]})) || return 0
        sleep 0.1
    done
    kill -9 "${alive[@]}" 2>/dev/null
}

# Starts a private session bus on a socket in the runtime folder (a child of the caller, so it is
# stopped with it) and exports its address.
start_session_bus() {
    local run=$1 log=$2
    dbus-daemon --session --nofork --address="unix:path=$run/bus" --print-address=3 \
        3>"$run/bus.addr" </dev/null >"$log" 2>&1 &
    wait_for 10 test -s "$run/bus.addr" || return 1
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$run/bus.addr")
    export DBUS_SESSION_BUS_ADDRESS
}

# Whether a program owns the name on the session bus.
has_owner() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}

# The StatusNotifierItems the tray host lists, one a line as "SERVICE/PATH" (GNOME's AppIndicator
# host writes ":1.51@/StatusNotifierItem").
tray_items() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems 2>/dev/null | grep -o "'[^']*'" | tr -d "'"
}
