#!/usr/bin/python3
"""Finds the controls of a window on the accessibility bus (AT-SPI) by role and name, so an X11
test acts on what a person reads on the screen rather than on pixel positions.

Usage: accessible.py WINDOW_TITLE names ROLE         names of the shown controls of ROLE, one a line
       accessible.py WINDOW_TITLE center ROLE NAME   "X Y": the screen centre of the shown control
       accessible.py WINDOW_TITLE focused ROLE       true when a shown control of ROLE has the focus
       accessible.py WINDOW_TITLE text ROLE          the text in the first shown control of ROLE
       accessible.py WINDOW_TITLE checked ROLE NAME  exit status 0 when the shown control is checked
Roles are AT-SPI role names ("push button", "text", "label"). Exit status 1 when the window or
the control is not shown (yet), 2 on a usage error.

The program must be on the accessibility bus: Qt joins it when QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
and the session bus has at-spi-bus-launcher on it.
"""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def shown(accessible):
    return accessible.get_state_set().contains(Atspi.StateType.SHOWING)


def windows_titled(title):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(i)
        if application is None:
            continue
        for j in range(application.get_child_count()):
            window = application.get_child_at_index(j)
            if window is not None and window.get_name() == title and shown(window):
                yield window


def controls(root, role):
    """The shown descendants of root with the role; hidden branches are not entered."""
    for i in range(root.get_child_count()):
        child = root.get_child_at_index(i)
        if child is None or not shown(child):
            continue
        if child.get_role_name() == role:
            yield child
        yield from controls(child, role)


def main(argv):
    commands = ("names", "center", "focused", "text", "checked")
    if len(argv) < 4 or argv[2] not in commands or (argv[2] in ("center", "checked")) != (len(argv) == 5):
        print(__doc__, file=sys.stderr)
        return 2
    title, command, role = argv[1], argv[2], argv[3]
    found = [control for window in windows_titled(title) for control in controls(window, role)]
    if command == "names":
        for control in found:
            print(control.get_name())
        return 0 if found else 1
    if command == "focused":
        return 0 if any(c.get_state_set().contains(Atspi.StateType.FOCUSED) for c in found) else 1
    if command == "text":
        if not found:
            return 1
        print(found[0].get_text(0, found[0].get_character_count()))
        return 0
    if command == "checked":
        named = [c for c in found if c.get_name() == argv[4]]
        return 0 if named and named[0].get_state_set().contains(Atspi.StateType.CHECKED) else 1
    for control in found:
        if control.get_name() == argv[4]:
            box = control.get_extents(Atspi.CoordType.SCREEN)
            if box.width <= 0 or box.height <= 0:
                continue
            print(box.x + box.width // 2, box.y + box.height // 2)
            return 0
    return 1


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except GLib.Error as error:  # the bus or the program went away meanwhile
        print(f"accessible.py: {error.message}", file=sys.stderr)
        sys.exit(1)
