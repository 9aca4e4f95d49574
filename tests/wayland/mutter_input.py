#!/usr/bin/python3
# mutter_input.py ACTION... : a user's hands and eyes in a headless GNOME Shell, through Mutter's
# RemoteDesktop and ScreenCast interfaces on the session bus. Actions, in order:
#   key:KEYSYM[+KEYSYM...]   press the keys (hexadecimal keysyms) in order, release them backwards
#   move:X,Y                 move the pointer (monitor pixels)
#   click:X,Y[,BUTTON]       move there and click (1 left, 2 middle, 3 right)
#   drag:X0,Y0,X1,Y1         press the left button at the first point, move in steps, release
#   shot:FILE                the monitor's next frame as a PPM picture
#   sleep:S                  pause for S seconds
#   sh:COMMAND               run a shell command while the session lives (its output to ours):
#                            the seat has a keyboard only while a remote desktop session does,
#                            and wl-paste needs one
# Absolute pointer motion needs a screen cast stream linked to the remote desktop session, so one
# is always recorded; its frames (the pointer drawn in) are read through PipeWire for shot:.
import subprocess
import sys

import dbus
import gi
from dbus.mainloop.glib import DBusGMainLoop

gi.require_version("Gst", "1.0")
from gi.repository import GLib, Gst  # noqa: E402

DBusGMainLoop(set_as_default=True)
Gst.init(None)
bus = dbus.SessionBus()
loop = GLib.MainLoop()
BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # evdev BTN_LEFT, BTN_MIDDLE, BTN_RIGHT


def pause(seconds):
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    loop.run()


def remote(path, interface):
    return dbus.Interface(bus.get_object("org.gnome.Mutter.RemoteDesktop", path), interface)


def cast(path, interface):
    return dbus.Interface(bus.get_object("org.gnome.Mutter.ScreenCast", path), interface)


session_path = remote("/org/gnome/Mutter/RemoteDesktop",
                      "org.gnome.Mutter.RemoteDesktop").CreateSession()
session = remote(session_path, "org.gnome.Mutter.RemoteDesktop.Session")
session_id = remote(session_path, "org.freedesktop.DBus.Properties").Get(
    "org.gnome.Mutter.RemoteDesktop.Session", "SessionId")
cast_path = cast("/org/gnome/Mutter/ScreenCast", "org.gnome.Mutter.ScreenCast").CreateSession(
    {"remote-desktop-session-id": session_id})
stream_path = cast(cast_path, "org.gnome.Mutter.ScreenCast.Session").RecordMonitor(
    "", {"cursor-mode": dbus.UInt32(1)})
node = {}


def stream_added(node_id):
    node["id"] = int(node_id)
    loop.quit()


bus.add_signal_receiver(stream_added, "PipeWireStreamAdded",
                        "org.gnome.Mutter.ScreenCast.Stream", path=stream_path)
session.Start()
GLib.timeout_add(10000, loop.quit)
loop.run()
if "id" not in node:
    sys.exit("mutter_input: the screen cast stream did not start")


def move(x, y):
    session.NotifyPointerMotionAbsolute(stream_path, float(x), float(y))
    pause(0.05)


def button(number, pressed):
    session.NotifyPointerButton(BUTTONS[number], pressed)
    pause(0.05)


def shot(path):
    pipeline = Gst.parse_launch(
        "pipewiresrc path=%d always-copy=true ! videoconvert ! video/x-raw,format=RGB "
        "! appsink name=sink sync=false" % node["id"])
    sink = pipeline.get_by_name("sink")
    pipeline.set_state(Gst.State.PLAYING)
    sample = None
    for attempt in range(200):
        sample = sink.emit("try-pull-sample", 50 * Gst.MSECOND)
        if sample is not None:
            break
        # Mutter sends a frame when something changes: a nudge of the pointer is a change.
        if attempt % 10 == 9:
            session.NotifyPointerMotionRelative(1.0, 0.0)
            session.NotifyPointerMotionRelative(-1.0, 0.0)
        pause(0.01)
    pipeline.set_state(Gst.State.NULL)
    if sample is None:
        sys.exit("mutter_input: no frame")
    caps = sample.get_caps().get_structure(0)
    width, height = caps.get_value("width"), caps.get_value("height")
    buffer = sample.get_buffer()
    ok, mapped = buffer.map(Gst.MapFlags.READ)
    data = bytes(mapped.data)
    buffer.unmap(mapped)
    stride = len(data) // height
    with open(path, "wb") as out:
        out.write(b"P6 %d %d 255\n" % (width, height))
        for row in range(height):
            out.write(data[row * stride:row * stride + width * 3])


for action in sys.argv[1:]:
    kind, _, value = action.partition(":")
    if kind == "key":
        keysyms = [int(k, 16) for k in value.split("+")]
        for k in keysyms:
            session.NotifyKeyboardKeysym(dbus.UInt32(k), True)
            pause(0.05)
        for k in reversed(keysyms):
            session.NotifyKeyboardKeysym(dbus.UInt32(k), False)
            pause(0.05)
    elif kind == "move":
        move(*value.split(","))
    elif kind == "click":
        x, y, *rest = value.split(",")
        number = int(rest[0]) if rest else 1
        move(x, y)
        button(number, True)
        button(number, False)
    elif kind == "drag":
        x0, y0, x1, y1 = map(int, value.split(","))
        move(x0, y0)
        button(1, True)
        for step in range(1, 11):
            move(x0 + (x1 - x0) * step / 10, y0 + (y1 - y0) * step / 10)
        pause(0.2)
        button(1, False)
    elif kind == "shot":
        shot(value)
    elif kind == "sleep":
        pause(float(value))
    elif kind == "sh":
        sys.stdout.flush()
        subprocess.run(value, shell=True)
    else:
        sys.exit("mutter_input: unknown action " + action)
pause(0.3)
session.Stop()
