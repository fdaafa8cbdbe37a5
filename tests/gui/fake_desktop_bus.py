#!/usr/bin/python3
"""A small stand-in for the desktop's login manager and notification service, for tests.

Owns org.freedesktop.login1 (Manager.Inhibit) and org.freedesktop.Notifications (Notify) on the
bus of DBUS_SESSION_BUS_ADDRESS and appends what happens to LOG, one line each:
  inhibit WHAT WHO WHY MODE    a lock was handed out
  released                     its holder closed the lock
  notify SUMMARY|BODY          a notification was shown (then clicked when --click is given)
Prints READY once both names are owned.
"""

import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

LOG = sys.argv[1]
CLICK = "--click" in sys.argv


def log(line):
    with open(LOG, "a", encoding="utf-8") as f:
        f.write(line + "\n")


class LoginManager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        read_end, write_end = os.pipe()
        lock = dbus.types.UnixFd(write_end)  # takes its own copy
        os.close(write_end)

        def on_hangup(fd, condition):
            log("released")
            os.close(fd)
            return False

        GLib.io_add_watch(read_end, GLib.IO_HUP | GLib.IO_ERR, on_hangup)
        log("inhibit %s %s %s %s" % (what, who, why.replace(" ", "_"), mode))
        return lock


class Notifications(dbus.service.Object):
    next_id = 0

    @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        Notifications.next_id += 1
        ident = Notifications.next_id
        log("notify %s|%s" % (summary, body))
        if CLICK and "default" in actions:
            GLib.timeout_add(200, lambda: self.ActionInvoked(ident, "default") or False)
        return dbus.UInt32(ident)

    @dbus.service.signal("org.freedesktop.Notifications", signature="us")
    def ActionInvoked(self, ident, action):
        pass


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
names = [dbus.service.BusName("org.freedesktop.login1", bus), dbus.service.BusName("org.freedesktop.Notifications", bus)]
LoginManager(bus, "/org/freedesktop/login1")
Notifications(bus, "/org/freedesktop/Notifications")
print("READY", flush=True)
GLib.MainLoop().run()
