#!/usr/bin/python3
# A stand-in for the desktop's screenshot portal on a private session bus.
# usage: fake_portal.py READY_FILE answer CODE [FILE] | late SECONDS CODE [FILE] | silent
# "answer" sends the Response signal before the method's own reply, as a fast portal may;
# "late" sends it that many seconds after, as when the desktop first asks the user.
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
ready, behaviour = sys.argv[1], sys.argv[2:]


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results):
        pass


class Portal(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}",
                         out_signature="o", sender_keyword="sender")
    def Screenshot(self, parent, options, sender):
        handle = "/org/freedesktop/portal/desktop/request/%s/%s" % (
            sender[1:].replace(".", "_"), options["handle_token"])
        delay, answer = (0, behaviour[1:]) if behaviour[0] == "answer" else (
            float(behaviour[1]), behaviour[2:])
        if behaviour[0] != "silent":
            results = {"uri": "file://" + answer[1]} if len(answer) > 1 else {}
            request = Request(bus, handle)

            def respond():
                request.Response(dbus.UInt32(int(answer[0])),
                                 dbus.Dictionary(results, signature="sv"))
                return False

            respond() if delay == 0 else GLib.timeout_add(int(delay * 1000), respond)
        return dbus.ObjectPath(handle)


name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
Portal(bus, "/org/freedesktop/portal/desktop")
open(ready, "w").close()
GLib.MainLoop().run()
