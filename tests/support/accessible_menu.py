#!/usr/bin/python3
"""Chooses from an open menu of a GTK program through the accessibility bus (AT-SPI), as a person
reads it: each LABEL in turn is the shown menu item of that name (a submenu opens, the last item
runs). Waits up to ten seconds for each.

Usage: accessible_menu.py APPLICATION LABEL [LABEL...]
       accessible_menu.py APPLICATION --items LABEL   opens the submenu LABEL, prints its items' names
Exit status 1 when the application or an item is not shown, 2 on a usage error.

GTK 4 (Nautilus) reports no "showing" state, only "visible", and shows a submenu as another page
of the same popover: its items follow a header item named like the submenu, in a page of their own.
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


def is_shown(node, gtk4):
    if not gtk4:
        return node.get_state_set().contains(Atspi.StateType.SHOWING)
    # A closed popover keeps its items "visible": the popover itself is not.
    while node is not None and node.get_role() != Atspi.Role.APPLICATION:
        if not node.get_state_set().contains(Atspi.StateType.VISIBLE):
            return False
        node = node.get_parent()
    return True


def item_name(node):
    """The name a person reads; mnemonic marks are not part of it, and GTK 4 names an unnamed
    item (a separator) after its class."""
    name = (node.get_name() or "").replace("_", "")
    return "" if name.startswith("Gtk") else name


def shown_item(node, label, gtk4, depth=0):
    """The first shown menu item named `label` under `node`."""
    if node is None or depth > 25:
        return None
    try:
        if node.get_role() in MENU_ROLES and item_name(node) == label and is_shown(node, gtk4):
            return node
        for i in range(node.get_child_count()):
            found = shown_item(node.get_child_at_index(i), label, gtk4, depth + 1)
            if found is not None:
                return found
    except gi.repository.GLib.Error:
        return None
    return None


def menu_items(node, depth=0):
    """The menu items under `node`, in order."""
    if node is None or depth > 25:
        return
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        if child.get_role() in MENU_ROLES:
            yield child
        yield from menu_items(child, depth + 1)


def gtk4_submenu_items(program, label):
    """The names of the items of GTK 4's submenu page headed by an item named `label`: the
    smallest part of the tree around a header that holds other items is its page."""
    headers = [item for item in menu_items(program) if item_name(item) == label and is_shown(item, True)]
    for header in headers:
        page = header.get_parent()
        while page is not None and len(list(menu_items(page))) < 2:
            page = page.get_parent()
        items = list(menu_items(page)) if page is not None else []
        if items and item_name(items[0]) == label:
            return [item_name(item) for item in items[1:] if item_name(item)]
    return []


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
    gtk4 = (program.get_toolkit_name() or "") == "GTK" and (program.get_toolkit_version() or "").startswith("4.")
    for label in labels:
        item = None
        while item is None and time.time() < deadline:
            program.clear_cache()
            item = shown_item(program, label, gtk4)
            if item is None:
                time.sleep(0.2)
        if item is None:
            print("no shown menu item %r" % label, file=sys.stderr)
            return 1
        item.get_action_iface().do_action(0)
        time.sleep(0.4)
        if listing and gtk4:
            program.clear_cache()
            for name in gtk4_submenu_items(program, label):
                print(name)
        elif listing:
            item.clear_cache()
            for i in range(item.get_child_count()):
                child = item.get_child_at_index(i)
                # Separators and the placeholders some menus keep hidden are not items a person reads.
                name = item_name(child) if child is not None else ""
                if name and child.get_role() in MENU_ROLES and is_shown(child, gtk4):
                    print(name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
