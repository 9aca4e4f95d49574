#!/usr/bin/python3
"""Varnoset's windows read through AT-SPI, as the Orca screen reader reads them.

Every control a user can reach or act on in the main window and its dialogs has a name (its own,
or the label that names it); Tab reaches every control of the main window, Space works the colour
swatches and the preview, and F10 opens the menus. Run by harness.sh --atspi --cups, with
VARNOSET_BIN naming the program.
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, flush=True)


def wait(probe, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    return None


def key(*names):
    subprocess.run(["xdotool", "key", *names], check=True)
    time.sleep(0.3)


def children(acc):
    return [child for child in (acc.getChildAtIndex(i) for i in range(acc.childCount)) if child]


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def controls(acc, path=()):
    """(path, accessible) of every showing accessible below acc."""
    for i, child in enumerate(children(acc)):
        if showing(child):
            yield path + (i,), child
            yield from controls(child, path + (i,))


def interactive(acc):
    if acc.getState().contains(pyatspi.STATE_FOCUSABLE):
        return True
    try:
        actions = acc.queryAction()
    except NotImplementedError:
        return False
    return any(actions.getName(i) != "SetFocus" for i in range(actions.nActions))


def spoken_name(acc):
    labels = [rel.getTarget(i).name for rel in acc.getRelationSet()
              if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for i in range(rel.getNTargets())]
    label = " ".join(text for text in labels if text.strip())
    # Qt names a combo box by its current entry: only its label says what it is for.
    return label if acc.getRoleName() == "combo box" else acc.name.strip() or label


def check_named(window):
    check(window.name.strip(), "a window without a name")
    for _, acc in controls(window):
        if interactive(acc) and not spoken_name(acc):
            check(False, f"in '{window.name}': an unnamed {acc.getRoleName()} "
                         f"(description '{acc.description}')")


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((app for app in children(desktop) if app.name == "Varnoset"), None)


def window(title):
    return wait(lambda: next((w for w in children(application()) if w.name == title and showing(w)),
                             None) if application() else None)


def control(role, name):
    found = pyatspi.findDescendant(main, lambda a: a.getRoleName() == role and a.name == name)
    check(found, f"no {role} '{name}' in the main window")
    return found


def act(acc, action):
    if not acc:
        return
    # An action that opens a modal dialog answers only when the dialog closes.
    Atspi.set_timeout(500, -1)
    try:
        actions = acc.queryAction()
        actions.doAction(next(i for i in range(actions.nActions) if actions.getName(i) == action))
    except GLib.Error:
        pass
    finally:
        Atspi.set_timeout(-1, -1)


def click(acc):
    if not acc:
        return
    box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True)


def dialog(title, opened_by, closed_by=lambda: key("Escape")):
    opened_by()
    shown = window(title)
    check(shown, f"the dialog '{title}' did not open")
    if shown:
        time.sleep(0.5)  # laid out and filled
        check_named(shown)
        closed_by()
        check(wait(lambda: not showing(shown)), f"the dialog '{title}' did not close")


program = subprocess.Popen([os.environ["VARNOSET_BIN"], "--open"])
main = window("Varnoset®  v3.00  -  Screen capture and printing by Kestrane")
if not main:
    sys.exit("the main window did not appear")
check_named(main)

# Tab from Print round the window and back: every control the keyboard can reach is reached
# (a radio group at its checked button; the arrows move within the group).
reachable = {path: f"{acc.getRoleName()} '{acc.name}'" for path, acc in controls(main)
             if acc.getState().contains(pyatspi.STATE_FOCUSABLE)
             and (acc.getRoleName() != "radio button"
                  or acc.getState().contains(pyatspi.STATE_CHECKED))}
reached = []
for _ in range(len(reachable) + 2):
    reached += [path for path, acc in controls(main)
                if acc.getState().contains(pyatspi.STATE_FOCUSED)]
    key("Tab")
for path in reachable.keys() - set(reached):
    check(False, f"Tab never reaches the {reachable[path]}")

# The keyboard's clicks: Space on a colour swatch and on the preview, F10 for the menus.
for role, name in (("push button", "Choose 1. Color"), ("filler", "Picture Preview")):
    focused = control(role, name)
    if focused:
        focused.queryComponent().grabFocus()
        check(wait(lambda: focused.getState().contains(pyatspi.STATE_FOCUSED), 5),
              f"the {role} '{name}' takes no focus")
    if role == "push button":
        dialog(name, lambda: key("space"))
bar = control("scroll bar", "Horizontal Position")
key("space")
check(bar and not showing(bar), "Space on the preview did not stretch the picture")
item = control("menu item", "Close & Exit")
key("F10")
check(item and wait(lambda: showing(item), 5), "F10 did not open the menus")
key("Escape")

dialog("About Varnoset v3.00", lambda: act(control("menu item", "About"), "Press"))
dialog("Page footer Text", lambda: act(control("menu item", "Define Footer Text"), "Press"))
dialog("Save Picture As ..", lambda: act(control("push button", "Save Picture As ..."), "Press"))
dialog("Print", lambda: act(control("push button", "Printer setup"), "Press"))
act(control("radio button", "Picture = Page Size"), "Toggle")
dialog("Varnoset", lambda: click(control("check box", "Keep Proportions")))
overlay = "Get Rectangular Area"
dialog(overlay, lambda: act(control("push button", overlay), "Press"),
       lambda: subprocess.run(["xdotool", "click", "1"], check=True))

program.terminate()
program.wait(30)
print(f"{len(failures)} failure(s)")
sys.exit(1 if failures else 0)
