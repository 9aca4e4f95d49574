#!/bin/bash
# Binds the hotkey in the desktop's own shortcut settings and gives it back, against the real
# store of the desktop the harness started (tests/desktop/harness.sh --desktop xfce or kde,
# tests/wayland/harness.sh --desktop gnome), as a user's `varnoset --bind-keys` and
# `--unbind-keys` do: a refusal changes nothing, the bound PrintScreen reaches the running copy,
# and giving back leaves the store exactly as it was.
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=wait_for.sh
. "$VARNOSET_SUPPORT/wait_for.sh"
# shellcheck source=session.sh
. "$VARNOSET_SUPPORT/session.sh"
bin=$VARNOSET_BIN

case "$VARNOSET_DESKTOP" in
    xfce)
        store() { xfconf-query -c xfce4-keyboard-shortcuts -lv; }
        read_key() { xfconf-query -c xfce4-keyboard-shortcuts -p "/commands/custom/$1"; }
        # xfsettingsd fills the channel at its first start.
        wait_for 10 read_key Print
        ;;
    kde)
        # kglobalaccel writes its file a moment after a change, and the session's own parts
        # (kded5's modules) register theirs while it starts: read it once it stays the same
        # for three seconds.
        store() {
            local file=$XDG_CONFIG_HOME/kglobalshortcutsrc last="" now same=0
            for _ in $(seq 40); do
                sleep 1
                now=$(grep -v '^_k_friendly_name' "$file" 2>/dev/null)
                [[ -n "$now" && "$now" == "$last" ]] && same=$((same + 1)) || same=0
                ((same >= 3)) && break
                last=$now
            done
            echo "$now"
        }
        read_key() {
            gdbus call --session -d org.kde.kglobalaccel -o /kglobalaccel \
                -m org.kde.KGlobalAccel.action "$2"
        }
        ;;
    gnome)
        store() { dconf dump /; }
        read_key() { gsettings get "$@"; }
        ;;
    *) fail "no desktop store to bind in ($VARNOSET_DESKTOP)" ;;
esac

before=$(store)
[[ -n "$before" ]] || fail "the desktop's store reads empty"

# A settings daemon that is not running: said on standard error, exit 1, nothing written.
if [[ "$VARNOSET_DESKTOP" == xfce ]]; then
    kill "$VARNOSET_XFSETTINGSD_PID"
    wait_for 5 sh -c "! kill -0 $VARNOSET_XFSETTINGSD_PID"
    "$bin" --bind-keys 2>"$VARNOSET_TEST_ROOT/refused.txt" && fail "bound without xfsettingsd"
    grep -q xfsettingsd "$VARNOSET_TEST_ROOT/refused.txt" || fail "no reason given"
    [[ "$(store)" == "$before" ]] || fail "a refused binding changed the store"
    "$VARNOSET_HARNESS" --start xfsettingsd || fail "xfsettingsd did not start again"
fi

# The key goes to the running copy (on Plasma to it directly, elsewhere through the commands),
# which saves every capture in a folder: a picture there is a key that arrived.
shots=$HOME/shots
mkdir -p "$shots" || fail "no folder for the pictures"
options=$XDG_CONFIG_HOME/Kestrane/NewVarnoset.reg
mkdir -p "$(dirname "$options")"
printf '%s\n' REGEDIT4 '' \
    '[HKEY_CURRENT_USER\SOFTWARE\Kestrane\NewVarnoset\v3.00\Setup]' '"AutoSave"=dword:00000001' \
    "\"AutoSaveFolder\"=\"$shots\"" '"AutoSavePattern"="shot-%n.png"' >"$options"
"$bin" &
running=$!
wait_for 10 test -S "$XDG_RUNTIME_DIR/Varnoset_v3.00.socket"
if [[ "$VARNOSET_DESKTOP" == gnome ]]; then
    # The screenshot portal asks once per user; this user has said yes.
    gdbus call --session -d org.freedesktop.impl.portal.PermissionStore \
        -o /org/freedesktop/impl/portal/PermissionStore \
        -m org.freedesktop.impl.portal.PermissionStore.SetPermission \
        screenshot true screenshot '' "['yes']" >/dev/null || fail "no permission store"
fi

"$bin" --bind-keys || fail "--bind-keys"
case "$VARNOSET_DESKTOP" in
    xfce)
        [[ "$(read_key Print)" == "$bin --hotkey" ]] || fail "Print runs $(read_key Print)"
        [[ "$(read_key '<Alt>Print')" == "$bin --hotkey alt" ]] || fail "Alt+Print not bound"
        ;;
    kde)
        read_key Print 16777225 | grep -q "'varnoset', 'hotkey'" || fail "Print not Varnoset's"
        read_key Print 150994953 | grep -q "'varnoset', 'hotkey-alt'" || fail "Alt+Print not bound"
        ;;
    gnome)
        custom=org.gnome.settings-daemon.plugins.media-keys.custom-keybinding
        folder=/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings
        [[ "$(read_key org.gnome.shell.keybindings show-screenshot-ui)" == "@as []" ]] ||
            fail "Print still takes a screenshot"
        [[ "$(read_key org.gnome.shell.keybindings screenshot)" == "['<Shift>Print']" ]] ||
            fail "Shift+Print was taken too"
        [[ "$(read_key "$custom:$folder/varnoset-alt/" command)" == "'$bin --hotkey alt'" ]] ||
            fail "Alt+Print runs $(read_key "$custom:$folder/varnoset-alt/" command)"
        [[ "$(read_key "$custom:$folder/varnoset/" binding)" == "'Print'" ]] ||
            fail "no custom shortcut for Print"
        ;;
esac
# The key arrives, and the tray tooltip (the copy's StatusNotifierItem) says where it comes from.
bus() { gdbus call --session "$@" 2>/dev/null; }
tip() {
    local item service owner
    for item in $(tray_items); do
        service=${item%%/*}
        service=${service%@}  # GNOME's AppIndicator host lists ":1.51@/StatusNotifierItem"
        owner=$(bus -d org.freedesktop.DBus -o /org/freedesktop/DBus \
            -m org.freedesktop.DBus.GetConnectionUnixProcessID "$service" | grep -o '[0-9]\+' |
            tail -n1)
        [[ "$owner" == "$running" ]] && bus -d "$service" -o "/${item#*/}" \
            -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem ToolTip
    done
}
tip_says_desktop() { tip | grep -q 'PrintScreen through the desktop'; }
# (A notification shown at the start takes the tooltip's place while it is up.)
wait_for 30 tip_says_desktop || fail "the tooltip says $(tip)"
if [[ "$VARNOSET_DESKTOP" == gnome ]]; then
    # Mutter drops the first key of a new input session: a Shift first.
    "$VARNOSET_MUTTER_INPUT" key:ffe1 sleep:0.5 key:ff61 || fail "no input through Mutter"
else
    xdotool key Print
fi
wait_for 30 compgen -G "$shots/shot-*.png" || fail "PrintScreen did not arrive"
"$bin" --quit
wait "$running"
grep -q '^"DesktopKeys"=".\+"' "$XDG_CONFIG_HOME/Kestrane/NewVarnoset.reg" ||
    fail "the options file keeps no binding"
"$bin" --bind-keys 2>/dev/null && fail "bound twice"

"$bin" --unbind-keys || fail "--unbind-keys"
after=$(store)
[[ "$after" == "$before" ]] || { diff <(echo "$before") <(echo "$after") >&2; fail "store differs"; }
"$bin" --unbind-keys 2>/dev/null && fail "gave back twice"
echo "PASS"
