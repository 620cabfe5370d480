#!/usr/bin/python3
"""Chooses from an open menu of a GTK program through the accessibility bus (AT-SPI), as a person
reads it: each LABEL in turn is the shown menu item of that name (a submenu opens, the last item
runs). Waits up to ten seconds for each.

Usage: accessible_menu.py APPLICATION LABEL [LABEL...]
       accessible_menu.py APPLICATION --items LABEL   opens the submenu LABEL, prints its items' names
Exit status 1 when the application or an item is not shown, 2 on a usage error.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

MENU_ROLES = {Atspi.Role.MENU_ITEM, Atspi.Role.MENU, Atspi.Role.CHECK_MENU_ITEM, Atspi.Role.RADIO_MENU_ITEM}


def application(name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        candidate = desktop.get_child_at_index(i)
        if candidate is not None and (candidate.get_name() or "").lower() == name.lower():
            return candidate
    return None


def shown_item(node, label, depth=0):
    """The shown menu item named `label` under `node`; mnemonic marks are not part of the name."""
    if node is None or depth > 25:
        return None
    try:
        name = (node.get_name() or "").replace("_", "")
        if node.get_role() in MENU_ROLES and name == label and \
                node.get_state_set().contains(Atspi.StateType.SHOWING):
            return node
        for i in range(node.get_child_count()):
            found = shown_item(node.get_child_at_index(i), label, depth + 1)
            if found is not None:
                return found
    except gi.repository.GLib.Error:
        return None
    return None


def main(argv):
    listing = len(argv) == 4 and argv[2] == "--items"
    if len(argv) < 3 or (argv[2] == "--items" and not listing):
        print(__doc__, file=sys.stderr)
        return 2
    labels = argv[3:] if listing else argv[2:]
    deadline = time.time() + 10
    program = None
    while program is None and time.time() < deadline:
        program = application(argv[1])
        if program is None:
            time.sleep(0.2)
    if program is None:
        print("no application %r on the accessibility bus" % argv[1], file=sys.stderr)
        return 1
    for label in labels:
        item = None
        while item is None and time.time() < deadline:
            program.clear_cache()
            item = shown_item(program, label)
            if item is None:
                time.sleep(0.2)
        if item is None:
            print("no shown menu item %r" % label, file=sys.stderr)
            return 1
        item.get_action_iface().do_action(0)
        time.sleep(0.4)
        if listing:
            item.clear_cache()
            for i in range(item.get_child_count()):
                child = item.get_child_at_index(i)
                # Separators and the placeholders some menus keep hidden are not items a person reads.
                name = (child.get_name() or "").replace("_", "") if child is not None else ""
                if name and child.get_role() in MENU_ROLES and \
                        child.get_state_set().contains(Atspi.StateType.SHOWING):
                    print(name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
