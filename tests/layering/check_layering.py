#!/usr/bin/env python3
"""Fails on any #include that crosses a layer boundary the wrong way, and on any read of the
process's environment below the composition roots.

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

# Who may read the environment: the roots and the one reader every root calls.
ENVIRONMENT_READERS = ROOTS + (
    re.compile(r"^extension/nautilus/NautilusModule\.cpp$"),
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


def code_of(text):
    """The text with comments and literals blanked out, line breaks kept."""
    return NOT_CODE.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


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
                if not any(reader.search(path) for reader in ENVIRONMENT_READERS):
                    code = code_of(text)
                    for match in ENVIRONMENT_READ.finditer(code):
                        line = code.count("\n", 0, match.start()) + 1
                        found.append(f"{path}:{line}: {layer} may not read the environment ({match.group(1)}); "
                                     "a composition root passes the value down")
    return found


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
    environment_forbidden = [
        ("app/creation/C.cpp", 'const char* home = std::getenv("HOME");'),
        ("app/creation/C.cpp", "auto folder = std::filesystem::temp_directory_path();"),
        ("app/shell/SingleInstanceLock.cpp", 'const char* r = ::secure_getenv("XDG_RUNTIME_DIR");'),
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
    environment_allowed = [
        ("app/cli/main.cpp", 'const char* home = std::getenv("HOME");'),
        ("app/shell/Application.cpp", 'const char* home = std::getenv("HOME");'),
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
    for failure in failures:
        print("self-test:", failure)
    total = len(forbidden) + len(allowed) + len(environment_forbidden) + len(environment_allowed)
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
        print(f"{len(found)} include(s) or environment read(s) cross a layer boundary the wrong way")
        return 1
    return self_test()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
