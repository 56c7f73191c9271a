#!/usr/bin/env python3
"""The desktop's side of a StatusNotifierItem tray, as KDE Plasma and others host it.

  sni.py watcher FILE           a StatusNotifierWatcher with a host; each item that
                                registers is written to FILE, one a line
  sni.py tooltip SERVICE        prints the item's tooltip (title and text)
  sni.py menu SERVICE           prints its menu's labels, one a line ("-" a separator)
  sni.py click SERVICE LABEL    chooses the item LABEL of its menu (dbusmenu "clicked")
"""
import sys
import time

import dbus

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"


def watcher(registered_file):
    import dbus.service
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    items = []

    class Watcher(dbus.service.Object):
        @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
        def RegisterStatusNotifierItem(self, service, sender=None):
            # An item names its bus name, or only its object path on the sender's name.
            name = service if not service.startswith("/") else sender
            items.append(name)
            with open(registered_file, "a") as f:
                f.write(name + "\n")
            self.StatusNotifierItemRegistered(name)

        @dbus.service.method(WATCHER, in_signature="s")
        def RegisterStatusNotifierHost(self, service):
            pass

        @dbus.service.signal(WATCHER, signature="s")
        def StatusNotifierItemRegistered(self, service):
            pass

        @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
        def Get(self, interface, name):
            return self.GetAll(interface)[name]

        @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
        def GetAll(self, interface):
            return {"RegisteredStatusNotifierItems": dbus.Array(items, signature="s"),
                    "IsStatusNotifierHostRegistered": dbus.Boolean(True),
                    "ProtocolVersion": dbus.Int32(0)}

        @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
        def Introspect(self):
            return """<node><interface name="%s">
  <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
</interface></node>""" % WATCHER

    name = dbus.service.BusName(WATCHER, bus)  # held while the loop runs
    Watcher(bus, "/StatusNotifierWatcher")
    GLib.MainLoop().run()
    del name


def item_property(bus, service, prop):
    item = bus.get_object(service, "/StatusNotifierItem")
    return item.Get(ITEM, prop, dbus_interface=PROPERTIES)


def menu_items(bus, service):
    menu = bus.get_object(service, str(item_property(bus, service, "Menu")))
    menu.AboutToShow(0, dbus_interface=MENU)
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface=MENU)
    rows = []
    for child in layout[2]:
        ident, props = int(child[0]), child[1]
        label = "-" if props.get("type") == "separator" else str(props.get("label", ""))
        rows.append((ident, label))
    return menu, rows


def main():
    mode = sys.argv[1]
    if mode == "watcher":
        return watcher(sys.argv[2])
    bus = dbus.SessionBus()
    service = sys.argv[2]
    if mode == "tooltip":
        tip = item_property(bus, service, "ToolTip")
        print(str(tip[2]))
        print(str(tip[3]))
    elif mode == "menu":
        for _, label in menu_items(bus, service)[1]:
            print(label)
    elif mode == "click":
        menu, rows = menu_items(bus, service)
        ident = next(i for i, label in rows if label == sys.argv[3])
        menu.Event(ident, "clicked", dbus.String("", variant_level=1), dbus.UInt32(int(time.time())),
                   dbus_interface=MENU)
    return 0


if __name__ == "__main__":
    sys.exit(main())
