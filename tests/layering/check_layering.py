#!/usr/bin/env python3
"""Fails on any #include that crosses a layer boundary the wrong way.

Every source file of the program belongs to one layer, found by its folder; each layer may include
its own files and those of the layers it is built on, and only some of them may include toolkit
headers (Qt, GLib/GIO, xcb, GTK, Nautilus, OpenSSL). The layers and what they may use:

  shared      shared/                               shared; no toolkit
  ports       platform/ (its own files), platform/posix/   shared, ports; no toolkit
  core        app/ (but the composition roots)      shared, ports, core; no toolkit
  adapters    platform/linux/                       shared, ports, adapters; any toolkit
  gui         gui/                                  shared, ports, core, gui; Qt
  extension   extension/                            shared, extension; GLib, GTK, Nautilus
  roots       app/cli/, app/shell/Application.*     everything

Usage: check_layering.py SOURCE_DIR        check the tree, list every violation
       check_layering.py --self-test       check that every forbidden edge is caught
"""

import os
import re
import sys
import tempfile

SOURCE_FOLDERS = ("shared", "platform", "app", "gui", "extension")
SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c")

# The composition roots build the long-lived parts from every layer.
ROOTS = (re.compile(r"^app/cli/"), re.compile(r"^app/shell/Application\.(h|cpp)$"))

TOOLKITS = {
    "Qt": re.compile(r"^(Q[A-Za-z]*|Qt[A-Za-z]*/.*)$"),
    "GLib": re.compile(r"^(glib|gio|gobject|gmodule)[-/.]|^glib\.h$|^gio/"),
    "GTK": re.compile(r"^(gtk|gdk)/|^gtk\.h$"),
    "xcb": re.compile(r"^(xcb|X11)/"),
    "Nautilus": re.compile(r"^nautilus-extension\.h$|^libnautilus-extension/"),
    "OpenSSL": re.compile(r"^openssl/"),
}

ALLOWED = {
    "shared": ({"shared"}, set()),
    "ports": ({"shared", "ports"}, set()),
    "core": ({"shared", "ports", "core"}, set()),
    "adapters": ({"shared", "ports", "adapters"}, set(TOOLKITS)),
    "gui": ({"shared", "ports", "core", "gui"}, {"Qt"}),
    "extension": ({"shared", "extension"}, {"GLib", "GTK", "Nautilus"}),
    "roots": ({"shared", "ports", "core", "adapters", "gui", "roots"}, set(TOOLKITS)),
}

# Headers CMake writes into the build tree; the shared library carries them.
GENERATED = re.compile(r"^quillet/")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)


def layer_of(path):
    """The layer of a source path relative to the tree's root, or None outside the program."""
    if any(root.search(path) for root in ROOTS):
        return "roots"
    top = path.split("/", 1)[0]
    if top == "shared":
        return "shared"
    if top == "extension":
        return "extension"
    if top == "gui":
        return "gui"
    if top == "app":
        return "core"
    if top == "platform":
        if path.startswith("platform/linux/"):
            return "adapters"
        return "ports"
    return None


def toolkit_of(header):
    for name, pattern in TOOLKITS.items():
        if pattern.search(header):
            return name
    return None


def violations(source_dir):
    found = []
    for folder in SOURCE_FOLDERS:
        for directory, _, files in os.walk(os.path.join(source_dir, folder)):
            for name in sorted(files):
                if not name.endswith(SUFFIXES):
                    continue
                full = os.path.join(directory, name)
                path = os.path.relpath(full, source_dir)
                layer = layer_of(path)
                may_include, may_use = ALLOWED[layer]
                with open(full, encoding="utf-8", errors="replace") as source:
                    text = source.read()
                for match in INCLUDE.finditer(text):
                    kind, header = match.groups()
                    line = text.count("\n", 0, match.start()) + 1
                    where = f"{path}:{line}"
                    if kind == '"':
                        if GENERATED.search(header):
                            continue
                        target = layer_of(header)
                        if target is None:
                            found.append(f"{where}: includes \"{header}\", which is outside the program's folders")
                        elif target not in may_include:
                            found.append(f"{where}: {layer} may not include {target} (\"{header}\")")
                    else:
                        toolkit = toolkit_of(header)
                        if toolkit and toolkit not in may_use:
                            found.append(f"{where}: {layer} may not use {toolkit} (<{header}>)")
    return found


def self_test():
    """Plants each forbidden edge in a small tree and expects it reported; allowed ones pass."""
    forbidden = [
        ("shared/a/A.cpp", '"app/b/B.h"'),
        ("shared/a/A.cpp", "<QString>"),
        ("shared/a/A.cpp", "<glib.h>"),
        ("app/creation/C.cpp", "<QObject>"),
        ("app/creation/C.cpp", "<xcb/xcb.h>"),
        ("app/creation/C.cpp", "<gio/gio.h>"),
        ("app/creation/C.cpp", "<gtk/gtk.h>"),
        ("app/creation/C.cpp", "<nautilus-extension.h>"),
        ("app/creation/C.cpp", '"gui/quickcreate/V.h"'),
        ("app/creation/C.cpp", '"platform/linux/QtMainQueue.h"'),
        ("app/shell/Lifecycle.cpp", '"platform/linux/QtMainQueue.h"'),
        ("platform/Port.cpp", '"app/requests/X.h"'),
        ("platform/posix/P.cpp", '"gui/quickcreate/V.h"'),
        ("platform/posix/P.cpp", "<QFile>"),
        ("platform/linux/Q.cpp", '"app/shortcuts/S.h"'),
        ("platform/linux/Q.cpp", '"gui/quickcreate/V.h"'),
        ("gui/quickcreate/V.cpp", '"platform/linux/QtScreenLayout.h"'),
        ("gui/quickcreate/V.cpp", "<glib.h>"),
        ("extension/F.cpp", '"app/settings/AppSettings.h"'),
        ("extension/nautilus/N.cpp", '"platform/FileManager.h"'),
        ("extension/nautilus/N.cpp", "<QString>"),
        ("app/creation/C.cpp", '"tests/support/Double.h"'),
    ]
    allowed = [
        ("shared/a/A.cpp", '"shared/b/B.h"'),
        ("shared/a/A.cpp", "<sqlite3.h>"),
        ("app/creation/C.cpp", '"platform/FileManager.h"'),
        ("app/creation/C.cpp", '"quillet/Version.h"'),
        ("platform/linux/Q.cpp", "<QObject>"),
        ("platform/linux/Q.cpp", '"platform/posix/P.h"'),
        ("gui/quickcreate/V.cpp", '"app/quickcreate/M.h"'),
        ("gui/quickcreate/V.cpp", "<QWidget>"),
        ("extension/nautilus/N.cpp", "<nautilus-extension.h>"),
        ("extension/nautilus/N.cpp", '"shared/settings/DefaultsSuite.h"'),
        ("app/cli/main.cpp", '"platform/linux/QtMainQueue.h"'),
        ("app/shell/Application.cpp", '"gui/quickcreate/V.h"'),
    ]
    failures = []
    for cases, expect_violation in ((forbidden, True), (allowed, False)):
        for path, include in cases:
            with tempfile.TemporaryDirectory() as tree:
                full = os.path.join(tree, path)
                os.makedirs(os.path.dirname(full))
                with open(full, "w") as source:
                    source.write(f"#include {include}\n")
                reported = violations(tree)
                if bool(reported) != expect_violation:
                    failures.append(f"{path} including {include}: "
                                    f"{'not reported' if expect_violation else 'reported: ' + '; '.join(reported)}")
    for failure in failures:
        print("self-test:", failure)
    print(f"{len(forbidden) + len(allowed) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return self_test()
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    found = violations(argv[1])
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) cross a layer boundary the wrong way")
        return 1
    return self_test()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
