#!/usr/bin/env bash
# Shows Varnoset on a private virtual desktop when there is no display of its own, and saves
# screenshots of what a user would see in the given folder.
#   demo.sh VARNOSET_BINARY OUTPUT_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(realpath "$1")
out=$(mkdir -p "$2" && realpath "$2")

if [[ "${VARNOSET_DEMO_INSIDE:-}" != 1 ]]; then
    VARNOSET_DEMO_INSIDE=1 exec "$here/../tests/desktop/harness.sh" --cups -- "$0" "$bin" "$out"
fi

wait_for() {
    local limit=$1; shift
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do ((SECONDS < deadline)) || return 1; sleep 0.1; done
}
tray_icon() { xwininfo -root -tree | grep -m1 '"Varnoset": ("varnoset"' | awk '{print $1}'; }
has_tray_icon() { [[ -n "$(tray_icon)" ]]; }
shot() { import -window root "$out/$1.png" && echo "  $out/$1.png"; }

# Something to look at on the desktop.
xlogo -geometry 400x300+200+150 &
xclock -geometry 220x220+700+120 &
"$bin" &
app=$!
trap 'kill $app 2>/dev/null; wait $app 2>/dev/null' EXIT
wait_for 10 has_tray_icon || { echo "Varnoset did not show its tray icon" >&2; exit 1; }
echo "Varnoset is running on a private virtual desktop ($DISPLAY); screenshots:"
sleep 0.5
shot desktop-tray

eval "$(xdotool getwindowgeometry --shell "$(tray_icon)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 0.7
shot tray-menu
xdotool key Down Down Return   # "Open"
wait_for 5 xdotool search --onlyvisible --name 'Kestrane'
sleep 1.2
shot main-window

kill -TERM $app
wait $app || true
trap - EXIT
echo "Varnoset ended."
