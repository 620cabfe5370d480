#!/usr/bin/env python3
"""Fails on any #include that crosses a layer boundary the wrong way, on a cycle between the
core's subsystems, and on any read of the process's environment below the composition roots.

Every source file of the program belongs to one layer, found by its folder; each layer may include
its own files and those of the layers it is built on, and only some of them may include toolkit
headers (Qt, GLib/GIO, xcb, GTK, Nautilus, OpenSSL). The layers and what they may use:

  shared      shared/                               shared; no toolkit
  ports       platform/ (its own files), platform/posix/   shared, ports; no toolkit
  core        app/                                  shared, ports, core; no toolkit
  adapters    platform/linux/                       shared, ports, adapters; any toolkit
  gui         gui/                                  shared, ports, core, gui; Qt
  extension   extension/                            shared, extension; GLib, GTK and the file managers' libraries
  roots       programs/                             everything

Every folder belongs to exactly one layer. Inside the core, each app/<subsystem>/ may include
others, but never in a circle: a subsystem that reaches itself through others is reported with
the circle it closes.

Environment variables, $HOME and the XDG folders are read once, by the composition roots (the
command line, the application, the Nautilus module's entry point), through the one reader in
shared/paths/UserEnvironment.cpp, and passed down, the adapters' display and bus addresses
included. Anywhere else getenv, secure_getenv, environ or a toolkit's equivalent is a violation;
so is std::filesystem::temp_directory_path, which reads TMPDIR.

Usage: check_layering.py SOURCE_DIR        check the tree, list every violation
       check_layering.py --self-test       check that every forbidden edge is caught
"""

import os
import re
import sys
import tempfile

SOURCE_FOLDERS = ("shared", "platform", "app", "gui", "extension", "programs")
SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c")

TOOLKITS = {
    "Qt": re.compile(r"^(Q[A-Za-z]*|Qt[A-Za-z]*/.*)$"),
    "GLib": re.compile(r"^(glib|gio|gobject|gmodule)[-/.]|^glib\.h$|^gio/"),
    "GTK": re.compile(r"^(gtk|gdk)/|^gtk\.h$"),
    "xcb": re.compile(r"^(xcb|X11)/"),
    "Nautilus": re.compile(r"^nautilus-extension\.h$|^libnautilus-extension/"),
    "Thunar": re.compile(r"^thunarx/"),
    "Caja": re.compile(r"^libcaja-extension/"),
    "Nemo": re.compile(r"^libnemo-extension/"),
    "OpenSSL": re.compile(r"^openssl/"),
}

ALLOWED = {
    "shared": ({"shared"}, set()),
    "ports": ({"shared", "ports"}, set()),
    "core": ({"shared", "ports", "core"}, set()),
    "adapters": ({"shared", "ports", "adapters"}, set(TOOLKITS)),
    "gui": ({"shared", "ports", "core", "gui"}, {"Qt"}),
    "extension": ({"shared", "extension"}, {"GLib", "GTK", "Nautilus", "Thunar", "Caja", "Nemo"}),
    "roots": ({"shared", "ports", "core", "adapters", "gui", "roots"}, set(TOOLKITS)),
}

# Who may read the environment: the roots and the one reader every root calls.
ENVIRONMENT_READERS = (
    re.compile(r"^programs/"),
    re.compile(r"^extension/nautilus/NautilusModule\.cpp$"),
    re.compile(r"^extension/thunar/ThunarModule\.cpp$"),
    re.compile(r"^extension/caja/CajaModule\.cpp$"),
    re.compile(r"^extension/nemo/NemoModule\.cpp$"),
    re.compile(r"^shared/paths/UserEnvironment\.cpp$"),
)

# The calls that read the environment or the folders it names, in C, C++, Qt and GLib spelling.
ENVIRONMENT_READ = re.compile(
    r"\b(getenv|secure_getenv|environ|qgetenv|qEnvironmentVariable\w*|systemEnvironment|g_getenv|"
    r"g_get_environ|g_get_home_dir|g_get_tmp_dir|g_get_user_\w+_dir|temp_directory_path)\b")

# Comments, string and character literals: what they say is not code. Each is replaced by
# blanks of the same lines, so line numbers stay.
NOT_CODE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.DOTALL)

# Headers CMake writes into the build tree; the shared library carries them.
GENERATED = re.compile(r"^quillet/")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)


def layer_of(path):
    """The layer of a source path relative to the tree's root, or None outside the program."""
    top = path.split("/", 1)[0]
    if top == "programs":
        return "roots"
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


def code_of(text):
    """The text with comments and literals blanked out, line breaks kept."""
    return NOT_CODE.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def toolkit_of(header):
    for name, pattern in TOOLKITS.items():
        if pattern.search(header):
            return name
    return None


def subsystem_of(path):
    """The core subsystem (app/<name>/) a path belongs to, or None."""
    parts = path.split("/")
    return parts[1] if len(parts) > 2 and parts[0] == "app" else None


def subsystem_cycles(edges):
    """One report per circle among the subsystems: every strongly connected group of two or more,
    with one circle through it spelled out and the includes that make each step."""
    graph = {}
    for (source, target) in edges:
        graph.setdefault(source, set()).add(target)
        graph.setdefault(target, set())
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def connect(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(graph[node]):
            if nxt not in index:
                connect(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for node in sorted(graph):
        if node not in index:
            connect(node)
    reports = []
    for group in groups:
        # The shortest way back to the first member, found breadth first inside the group.
        start = group[0]
        came_from = {start: None}
        queue = [start]
        circle = None
        while queue and circle is None:
            node = queue.pop(0)
            for nxt in sorted(graph[node]):
                if nxt not in group:
                    continue
                if nxt == start:
                    circle = [node]
                    while came_from[circle[-1]] is not None:
                        circle.append(came_from[circle[-1]])
                    circle = list(reversed(circle)) + [start]
                    break
                if nxt not in came_from:
                    came_from[nxt] = node
                    queue.append(nxt)
        steps = [f"{a} -> {b} ({edges[(a, b)]})" for a, b in zip(circle, circle[1:])]
        reports.append(f"app/ subsystems include each other in a circle: {'; '.join(steps)}")
    return reports


def violations(source_dir):
    found = []
    subsystem_edges = {}  # (from, to) -> the first include that makes the edge
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
                        source_subsystem, target_subsystem = subsystem_of(path), subsystem_of(header)
                        if source_subsystem and target_subsystem and source_subsystem != target_subsystem:
                            subsystem_edges.setdefault((source_subsystem, target_subsystem), f"{where} includes {header}")
                    else:
                        toolkit = toolkit_of(header)
                        if toolkit and toolkit not in may_use:
                            found.append(f"{where}: {layer} may not use {toolkit} (<{header}>)")
                if not any(reader.search(path) for reader in ENVIRONMENT_READERS):
                    code = code_of(text)
                    for match in ENVIRONMENT_READ.finditer(code):
                        line = code.count("\n", 0, match.start()) + 1
                        found.append(f"{path}:{line}: {layer} may not read the environment ({match.group(1)}); "
                                     "a composition root passes the value down")
    return found + subsystem_cycles(subsystem_edges)


def self_test():
    """Plants each forbidden edge and environment read in a small tree and expects it reported;
    allowed ones pass."""
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
        ("app/instance/Lifecycle.cpp", '"platform/linux/QtMainQueue.h"'),
        ("app/creation/C.cpp", '"programs/quillet-app/Application.h"'),
        ("platform/posix/P.cpp", '"programs/quillet/LauncherCreation.h"'),
        ("gui/settings/V.cpp", '"programs/quillet-app/CommandLine.h"'),
        ("extension/F.cpp", '"programs/quillet-app/CommandLine.h"'),
        ("platform/Port.cpp", '"app/requests/X.h"'),
        ("platform/posix/P.cpp", '"gui/quickcreate/V.h"'),
        ("platform/posix/P.cpp", "<QFile>"),
        ("platform/linux/Q.cpp", '"app/shortcuts/S.h"'),
        ("platform/linux/Q.cpp", '"gui/quickcreate/V.h"'),
        ("gui/quickcreate/V.cpp", '"platform/linux/QtScreenLayout.h"'),
        ("gui/quickcreate/V.cpp", "<glib.h>"),
        ("extension/F.cpp", '"app/settings/AppSettings.h"'),
        ("extension/nautilus/N.cpp", '"platform/posix/NewFileWriter.h"'),
        ("extension/nautilus/N.cpp", "<QString>"),
        ("app/creation/C.cpp", '"tests/support/Double.h"'),
    ]
    environment_forbidden = [
        ("app/creation/C.cpp", 'const char* home = std::getenv("HOME");'),
        ("app/creation/C.cpp", "auto folder = std::filesystem::temp_directory_path();"),
        ("app/instance/SingleInstanceLock.cpp", 'const char* r = ::secure_getenv("XDG_RUNTIME_DIR");'),
        ("app/shell/Other.cpp", "extern char** environ;"),
        ("shared/settings/S.cpp", 'if (getenv("XDG_CONFIG_HOME")) {}'),
        ("shared/paths/FilePaths.cpp", 'return getenv("HOME");'),
        ("platform/posix/P.cpp", 'auto t = getenv ("TMPDIR");'),
        ("extension/FinderSync.cpp", 'const char* h = g_getenv("HOME");'),
        ("extension/FinderSync.cpp", "auto desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);"),
        ("extension/nautilus/NautilusMenuProvider.cpp", 'const char* c = getenv("XDG_CONFIG_HOME");'),
        ("gui/quickcreate/V.cpp", 'auto v = qEnvironmentVariable("HOME");'),
        ("platform/linux/DisplayPlatform.cpp", 'const char* d = std::getenv("DISPLAY");'),
    ]
    allowed = [
        ("shared/a/A.cpp", '"shared/b/B.h"'),
        ("shared/a/A.cpp", "<sqlite3.h>"),
        ("app/creation/C.cpp", '"platform/posix/NewFileWriter.h"'),
        ("app/creation/C.cpp", '"quillet/Version.h"'),
        ("platform/linux/Q.cpp", "<QObject>"),
        ("platform/linux/Q.cpp", '"platform/posix/P.h"'),
        ("gui/quickcreate/V.cpp", '"app/quickcreate/M.h"'),
        ("gui/quickcreate/V.cpp", "<QWidget>"),
        ("extension/nautilus/N.cpp", "<nautilus-extension.h>"),
        ("extension/nautilus/N.cpp", '"shared/settings/DefaultsSuite.h"'),
        ("programs/quillet-app/main.cpp", '"platform/linux/QtMainQueue.h"'),
        ("programs/quillet-app/Application.cpp", '"gui/quickcreate/V.h"'),
    ]
    environment_allowed = [
        ("programs/quillet-app/main.cpp", 'const char* home = std::getenv("HOME");'),
        ("programs/quillet-app/Application.cpp", 'const char* home = std::getenv("HOME");'),
        ("extension/nautilus/NautilusModule.cpp", 'const char* home = getenv("HOME");'),
        ("shared/paths/UserEnvironment.cpp", "const char* value = std::getenv(name);"),
        ("app/creation/C.cpp", "// The core never calls getenv: the root hands the value down."),
        ("app/creation/C.cpp", "/* no getenv(\"HOME\") here */ int x;"),
        ("app/creation/C.cpp", 'const char* word = "getenv";'),
        ("app/creation/C.cpp", "UserEnvironment environment; auto d = environment.temporaryDirectory;"),
        ("app/creation/C.cpp", "int mygetenv();"),
    ]
    failures = []
    including = lambda cases: [(path, f"#include {include}", f"including {include}") for path, include in cases]
    reading = lambda cases: [(path, code, f"with {code}") for path, code in cases]
    for cases, expect_violation in ((including(forbidden), True), (including(allowed), False),
                                    (reading(environment_forbidden), True), (reading(environment_allowed), False)):
        for path, source_line, what in cases:
            with tempfile.TemporaryDirectory() as tree:
                full = os.path.join(tree, path)
                os.makedirs(os.path.dirname(full))
                with open(full, "w") as source:
                    source.write(f"{source_line}\n")
                reported = violations(tree)
                if bool(reported) != expect_violation:
                    failures.append(f"{path} {what}: "
                                    f"{'not reported' if expect_violation else 'reported: ' + '; '.join(reported)}")
    # Trees of several files: circles between subsystems, however long, and edges that only
    # look like one (a subsystem's own files, a chain that never comes back).
    trees = [
        ("two subsystems including each other",
         {"app/settings/S.cpp": '"app/shortcuts/K.h"', "app/shortcuts/K.cpp": '"app/settings/S.h"'}, True),
        ("a circle of three",
         {"app/a/A.cpp": '"app/b/B.h"', "app/b/B.cpp": '"app/c/C.h"', "app/c/C.h": '"app/a/A.h"'}, True),
        ("a chain and a shortcut past it",
         {"app/a/A.cpp": '"app/b/B.h"', "app/b/B.cpp": '"app/c/C.h"', "app/a/A.h": '"app/c/C.h"'}, False),
        ("a subsystem's own files",
         {"app/a/A.cpp": '"app/a/B.h"', "app/a/B.cpp": '"app/a/A.h"'}, False),
    ]
    for what, sources, expect_violation in trees:
        with tempfile.TemporaryDirectory() as tree:
            for path, include in sources.items():
                full = os.path.join(tree, path)
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, "w") as source:
                    source.write(f"#include {include}\n")
            reported = violations(tree)
            if bool(reported) != expect_violation:
                failures.append(f"{what}: {'not reported' if expect_violation else 'reported: ' + '; '.join(reported)}")
    for failure in failures:
        print("self-test:", failure)
    total = len(forbidden) + len(allowed) + len(environment_forbidden) + len(environment_allowed) + len(trees)
    print(f"{total - len(failures)} passed, {len(failures)} failed")
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
        print(f"{len(found)} include(s), circle(s) or environment read(s) break the layering")
        return 1
    return self_test()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
