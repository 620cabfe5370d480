#!/usr/bin/python3
"""A stand-in for the file manager's window-location service on the session bus.

Serves /org/freedesktop/FileManager1 under the bus name --name (org.gnome.Nautilus, as Nautilus
itself, unless another is given: org.freedesktop.FileManager1 for another file manager that took
the shared name) and answers its OpenWindowsWithLocations property (a{sas}) with the JSON object
given on the command line, after waiting --delay seconds (a file manager that is too busy to
answer); takes ShowItems calls and does nothing with them, or with --hang never answers them (a
file manager that hangs, or is killed, in the middle of a reveal). Prints "ready" once the name is
owned.

Usage: fake_file_manager.py '{"/org/gnome/Nautilus/window/1": ["file:///tmp/a"]}' [--delay S] [--name N] [--hang]
"""
import json
import sys
import time

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.freedesktop.FileManager1">
    <property name="OpenWindowsWithLocations" type="a{sas}" access="read"/>
    <method name="ShowItems">
      <arg type="as" direction="in"/>
      <arg type="s" direction="in"/>
    </method>
  </interface>
</node>
"""


def main():
    locations = json.loads(sys.argv[1])
    delay = float(sys.argv[sys.argv.index("--delay") + 1]) if "--delay" in sys.argv else 0.0
    name = sys.argv[sys.argv.index("--name") + 1] if "--name" in sys.argv else "org.gnome.Nautilus"
    loop = GLib.MainLoop()

    def get_property(connection, sender, path, interface, name):
        time.sleep(delay)
        return GLib.Variant("a{sas}", locations)

    hang = "--hang" in sys.argv
    held = []

    def method_call(connection, sender, path, interface, method, parameters, invocation):
        print("called " + method, flush=True)
        if hang:
            held.append(invocation)
            return
        invocation.return_value(None)

    def on_bus(connection, name):
        info = Gio.DBusNodeInfo.new_for_xml(INTERFACE).interfaces[0]
        connection.register_object("/org/freedesktop/FileManager1", info, method_call, get_property, None)

    def on_name(connection, name):
        print("ready", flush=True)

    def on_lost(connection, name):
        loop.quit()

    Gio.bus_own_name(Gio.BusType.SESSION, name,
                     Gio.BusNameOwnerFlags.NONE, on_bus, on_name, on_lost)
    loop.run()


if __name__ == "__main__":
    main()
