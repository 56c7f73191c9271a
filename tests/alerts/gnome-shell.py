#!/usr/bin/env python3
"""Talks to the GNOME Shell the desktop test started, through its Eval method (allowed by
the test's extension, gnome-shell/extension.js, which offers global.quorvane).

  gnome-shell.py eval CODE     runs CODE in the shell; prints its value as JSON
  gnome-shell.py windows       one line per window, bottom of the stacking order first:
                               stack, focus, above, workspace, everywhere, shown, x, y,
                               width, height, x11 and title, separated by tabs
  gnome-shell.py banners       one line per banner shown: source, title and text
Exits 1 when the shell does not answer or CODE fails.
"""
import json
import sys

import dbus


def shell_eval(code):
    shell = dbus.SessionBus().get_object("org.gnome.Shell", "/org/gnome/Shell")
    ok, value = shell.Eval(code, dbus_interface="org.gnome.Shell")
    if not ok:
        sys.exit("Eval failed: %s" % value)
    return json.loads(value) if value else None


def flag(v):
    return "1" if v else "0"


def main():
    try:
        what = sys.argv[1]
        if what == "eval":
            print(json.dumps(shell_eval(sys.argv[2]), ensure_ascii=False))
        elif what == "windows":
            for w in shell_eval("global.quorvane.windows()"):
                print("\t".join([str(w["stack"]), flag(w["focus"]), flag(w["above"]), str(w["workspace"]),
                                 flag(w["everywhere"]), flag(w["shown"]), str(w["x"]), str(w["y"]),
                                 str(w["width"]), str(w["height"]), flag(w["x11"]), w["title"] or ""]))
        elif what == "banners":
            for b in shell_eval("global.quorvane.banners()"):
                print("%s: %s: %s" % (b["source"], b["title"], b["body"]))
        else:
            sys.exit(__doc__)
    except dbus.DBusException as e:
        sys.exit(str(e))


main()
