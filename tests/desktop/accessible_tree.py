#!/usr/bin/python3
# Varnoset's windows read through AT-SPI as the Orca screen reader reads them: every control a user
# can reach or act on has a name (a combo box its label: Qt names it by its entry); the keyboard
# works the swatches and the preview (Space) and opens the menus (F10).
# Run by harness.sh --atspi --cups, with VARNOSET_BIN naming the program.
import os
import subprocess
import sys
import time

import pyatspi as S
from gi.repository import Atspi, GLib

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what, flush=True)


def wait(probe, seconds=20):
    end = time.monotonic() + seconds
    while not (found := probe()) and time.monotonic() < end:
        time.sleep(0.1)
    return found


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)
    time.sleep(0.3)


def has(acc, state):
    return acc.getState().contains(state)


def controls(acc):
    for child in acc:
        if child and has(child, S.STATE_SHOWING):
            yield child
            yield from controls(child)


def named(acc):
    labels = [rel.getTarget(i).name.strip() for rel in acc.getRelationSet()
              if rel.getRelationType() == S.RELATION_LABELLED_BY for i in range(rel.getNTargets())]
    return any(labels) or (acc.getRoleName() != "combo box" and acc.name.strip())


def interactive(acc):
    try:
        actions = acc.queryAction()
        return has(acc, S.STATE_FOCUSABLE) or any(
            actions.getName(i) != "SetFocus" for i in range(actions.nActions))
    except NotImplementedError:
        return has(acc, S.STATE_FOCUSABLE)


def dialog(title, open_it=lambda: None, close_it=lambda: xdotool("key", "Escape")):
    """Opens the window, checks that it and every control in it are named, closes it."""
    open_it()
    app = lambda: next((a for a in S.Registry.getDesktop(0) if a and a.name == "Varnoset"), [])
    shown = wait(lambda: next((w for w in app() if w and w.name == title
                               and has(w, S.STATE_SHOWING)), None))
    check(shown, f"no window '{title}'")
    for acc in controls(shown) if shown else []:
        check(named(acc) or not interactive(acc),
              f"'{title}': an unnamed {acc.getRoleName()} ({acc.description})")
    if shown and close_it:
        close_it()
        check(wait(lambda: not has(shown, S.STATE_SHOWING)), f"'{title}' did not close")
    return shown


def control(role, name, action=None):
    acc = S.findDescendant(main, lambda a: a.getRoleName() == role and a.name == name)
    check(acc, f"no {role} '{name}'")
    if acc and action == "focus":
        acc.queryComponent().grabFocus()
        check(wait(lambda: has(acc, S.STATE_FOCUSED), 5), f"no focus on '{name}'")
    elif acc and action:  # an action opening a modal dialog answers only when the dialog closes
        actions = acc.queryAction()
        Atspi.set_timeout(500, -1)
        try:
            actions.doAction([actions.getName(i) for i in range(actions.nActions)].index(action))
        except GLib.Error:
            pass
        Atspi.set_timeout(-1, -1)
    return acc


program = subprocess.Popen([os.environ["VARNOSET_BIN"], "--open"])
main = dialog("Varnoset®  v3.00  -  Screen capture and printing by Kestrane", close_it=None)
if not main:
    sys.exit(1)

control("push button", "Choose 1. Color", "focus")
dialog("Choose 1. Color", lambda: xdotool("key", "space"))
bar = control("scroll bar", "Horizontal Position")
control("filler", "Picture Preview", "focus")
xdotool("key", "space")
check(bar and not has(bar, S.STATE_SHOWING), "Space did not stretch the preview")
item = control("menu item", "Close & Exit")
xdotool("key", "F10")
check(item and wait(lambda: has(item, S.STATE_SHOWING), 5), "F10 opened no menu")
xdotool("key", "Escape")

dialog("About Varnoset v3.00", lambda: control("menu item", "About", "Press"))
dialog("Page footer Text", lambda: control("menu item", "Define Footer Text", "Press"))
dialog("Save Picture As ..", lambda: control("push button", "Save Picture As ...", "Press"))
dialog("Print", lambda: control("push button", "Printer setup", "Press"))
dialog("Save Every Capture", lambda: control("menu item", "Save Every Capture...", "Press"))
dialog("Print Preview: Varnoset v3.00 Picture", lambda: control("menu item", "Print Preview", "Press"))
control("radio button", "Picture = Page Size", "Toggle")
box = control("check box", "Keep Proportions").queryComponent().getExtents(S.DESKTOP_COORDS)
dialog("Varnoset", lambda: xdotool("mousemove", str(box.x + 5), str(box.y + 5), "click", "1"))
dialog("Get Rectangular Area", lambda: control("push button", "Get Rectangular Area", "Press"),
       lambda: xdotool("click", "1"))  # any release ends the overlay

program.terminate()
program.wait(30)
sys.exit(1 if failures else 0)
