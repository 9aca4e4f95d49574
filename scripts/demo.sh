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
xsetroot -solid '#3b5a78'
xlogo -geometry 400x300+200+150 &
xclock -geometry 220x220+700+120 &
# A colourful window to capture.
convert -size 240x170 'gradient:#f0a030-#3060d0' -fill '#20a050' -draw 'circle 120,85 150,125' \
    -fill white -pointsize 22 -gravity center -annotate +0+0 'Varnoset' "$out/.picture.png"
display -title picture -geometry +1000+500 "$out/.picture.png" &
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
# The part of the screen around the icon and its menu, for the README.
import -window root -crop 560x330+1360+750 +repage "$out/tray-menu-crop.png"
xdotool key Escape
sleep 0.3

# Alt+PrintScreen captures the active window and shows the main window with the picture.
xdotool windowactivate --sync "$(xdotool search --name '^picture$' | head -n1)"
sleep 0.3
xdotool key alt+Print
wait_for 8 xdotool search --onlyvisible --name 'Kestrane'
sleep 1.2
shot main-window
main=$(xdotool search --onlyvisible --name 'Kestrane' | head -n1)
import -frame -window "$main" "$out/main-window-crop.png"

# "Print User Info" and "Print Date & Time", then Print: the page goes to the private queue as
# PostScript and is rendered to a picture.
origin() { xwininfo -id "$main" | sed -n "s/.*Absolute upper-left $1: *//p"; }
mx=$(origin X) my=$(origin Y)
client() { xdotool mousemove $((mx + $1)) $((my + 22 + $2)) click 1; sleep 0.4; }
client 212 336
client 212 368
client 320 18
if wait_for 60 sh -c '[ -s "$VARNOSET_CUPS_OUT" ] && [ -z "$(lpstat -o FILE)" ]'; then
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=png16m -r40 -sOutputFile="$out/printed-page.png" \
        "$VARNOSET_CUPS_OUT" &&
        # The first start prints landscape; the page is turned to be read as printed.
        mogrify -rotate 90 -bordercolor '#888888' -border 1 "$out/printed-page.png" &&
        echo "  $out/printed-page.png"
else
    echo "the printed page did not reach the private print queue" >&2
fi

rm -f "$out/.picture.png"
kill -TERM $app
wait $app || true
trap - EXIT
echo "Varnoset ended."
