#!/usr/bin/env python3
"""Talks to the KWin the desktop test started, through KWin scripting over D-Bus: each
question is a small script that KWin loads, runs once and unloads, and that hands its
answer, as JSON, back over the bus.

  kwin.py eval CODE     runs the JavaScript CODE (an expression) in KWin; prints its
                        value as JSON
  kwin.py windows       one line per window, bottom of the stacking order first: stack,
                        focus, above, desktop (1 up; 0 on all), shown, x11, attention,
                        its X window (0 for a Wayland window) and title, separated by tabs
Exits 1 when KWin does not answer.
"""
import json
import os
import sys
import tempfile

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WINDOWS = """workspace.clientList().map(c => ({
    title: c.caption, stack: c.stackingOrder, focus: c === workspace.activeClient,
    above: c.keepAbove, desktop: c.onAllDesktops ? 0 : c.desktop, minimized: c.minimized,
    shown: !c.minimized && (c.onAllDesktops || c.desktop === workspace.currentDesktop),
    x11: !!c.windowId, xid: c.windowId || 0, attention: c.demandsAttention,
    normal: c.normalWindow || c.dialog }))"""


def kwin_eval(code):
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    scripting = dbus.Interface(bus.get_object("org.kde.KWin", "/Scripting", introspect=False),
                               "org.kde.kwin.Scripting")
    answer = []
    loop = GLib.MainLoop()

    class Receiver(dbus.service.Object):
        @dbus.service.method("io.github.quorvane.Test", in_signature="s")
        def answer(self, text):
            answer.append(str(text))
            loop.quit()

    Receiver(bus, "/Answer")
    with tempfile.NamedTemporaryFile("w", suffix=".js", delete=False) as f:
        # The script hands its answer back over the bus, to this program's own name.
        f.write('callDBus("%s", "/Answer", "io.github.quorvane.Test", "answer", '
                'JSON.stringify((function () { return %s; })()));\n' % (bus.get_unique_name(), code))
        path = f.name
    name = "quorvane-test-%d" % os.getpid()
    try:
        script_id = scripting.loadScript(path, name, signature="ss")
        for object_path in ("/%d" % script_id, "/Scripting/Script%d" % script_id):
            try:
                bus.get_object("org.kde.KWin", object_path, introspect=False).run(
                    dbus_interface="org.kde.kwin.Script")
                break
            except dbus.DBusException:
                continue
        GLib.timeout_add(5000, loop.quit)
        loop.run()
    finally:
        scripting.unloadScript(name, signature="s")
        os.unlink(path)
    if not answer:
        sys.exit("KWin did not answer")
    return json.loads(answer[0])


def flag(v):
    return "1" if v else "0"


def main():
    try:
        what = sys.argv[1]
        if what == "eval":
            print(json.dumps(kwin_eval(sys.argv[2]), ensure_ascii=False))
        elif what == "windows":
            windows = sorted(kwin_eval(WINDOWS), key=lambda w: w["stack"])
            for w in windows:
                if not w["normal"]:
                    continue
                print("\t".join([str(w["stack"]), flag(w["focus"]), flag(w["above"]), str(w["desktop"]),
                                 flag(w["shown"]), flag(w["x11"]), flag(w["attention"]), str(w["xid"]),
                                 w["title"] or ""]))
        else:
            sys.exit(__doc__)
    except (dbus.DBusException, ValueError) as e:
        sys.exit(str(e))


main()
