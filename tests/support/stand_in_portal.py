#!/usr/bin/python3
"""A stand-in for the desktop's global shortcuts portal on the session bus (tests only).

Owns org.freedesktop.portal.Desktop and serves org.freedesktop.portal.GlobalShortcuts at
/org/freedesktop/portal/desktop: CreateSession and BindShortcuts return a Request object path
built from the caller's name and its handle_token, and answer through that object's
org.freedesktop.portal.Request.Response signal, as the real portal does. It binds every shortcut
it is given with its preferred trigger, unless told otherwise.

A test drives it through org.quillet.Test.StandInPortal at /org/quillet/Test:
  Calls() -> s                   every call so far, as a JSON list
  Activate(s id)                 emits Activated for the last session
  AnswerNextBind(u code, as ids) the next BindShortcuts answers `code` and leaves `ids` out
  LeaveOut(as ids)               every later BindShortcuts leaves `ids` out
With the argument "session-set" it plays the portals that bind only the shortcuts named in
CreateSession's options and answer BindShortcuts with the session's set (KDE's before Plasma 6.1).
A session's Close is answered once it is closed, a moment later; a session may not be created again
under the handle of one still open. Prints "ready" on standard output once the name is owned.
"""
import json
import sys

from gi.repository import Gio, GLib

PORTAL_XML = """
<node>
  <interface name="org.freedesktop.portal.GlobalShortcuts">
    <method name="CreateSession">
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
    <method name="BindShortcuts">
      <arg type="o" name="session_handle" direction="in"/>
      <arg type="a(sa{sv})" name="shortcuts" direction="in"/>
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="request_handle" direction="out"/>
    </method>
    <method name="ListShortcuts">
      <arg type="o" name="session_handle" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="request_handle" direction="out"/>
    </method>
    <signal name="Activated">
      <arg type="o" name="session_handle"/>
      <arg type="s" name="shortcut_id"/>
      <arg type="t" name="timestamp"/>
      <arg type="a{sv}" name="options"/>
    </signal>
    <property name="version" type="u" access="read"/>
  </interface>
</node>
"""

SESSION_XML = """
<node>
  <interface name="org.freedesktop.portal.Session">
    <method name="Close"/>
  </interface>
</node>
"""

CONTROL_XML = """
<node>
  <interface name="org.quillet.Test.StandInPortal">
    <method name="Calls"><arg type="s" name="calls" direction="out"/></method>
    <method name="Activate"><arg type="s" name="id" direction="in"/></method>
    <method name="AnswerNextBind">
      <arg type="u" name="code" direction="in"/>
      <arg type="as" name="left_out" direction="in"/>
    </method>
    <method name="LeaveOut"><arg type="as" name="ids" direction="in"/></method>
  </interface>
</node>
"""

calls = []
sessions = {}  # session path -> caller's unique name
next_bind = None  # (code, ids left out)
last_session = None
connection = None
session_set = len(sys.argv) > 1 and sys.argv[1] == "session-set"
session_shortcuts = {}  # session path -> shortcuts named when it was opened
always_left_out = []
registrations = {}  # session path -> object registration id


def request_path(sender, token):
    return "/org/freedesktop/portal/desktop/request/%s/%s" % (sender[1:].replace(".", "_"), token)


def respond(sender, path, code, results):
    def emit():
        connection.emit_signal(sender, path, "org.freedesktop.portal.Request", "Response",
                               GLib.Variant("(ua{sv})", (code, results)))
        return False
    # After the method's reply, as the real portal answers.
    GLib.timeout_add(20, emit)


def portal_call(conn, sender, path, interface, method, params, invocation):
    global next_bind, last_session
    args = params.unpack()
    if method == "CreateSession":
        options = args[0]
        token = options.get("handle_token", "t")
        session = "/org/freedesktop/portal/desktop/session/%s/%s" % (
            sender[1:].replace(".", "_"), options.get("session_handle_token", "s"))
        calls.append({"method": "CreateSession", "options": {k: v for k, v in options.items() if k != "shortcuts"},
                      "shortcuts": [[i, props] for i, props in options.get("shortcuts", [])]})
        if session in sessions:
            invocation.return_dbus_error("org.freedesktop.DBus.Error.Failed", "the session is open: " + session)
            return
        sessions[session] = sender
        session_shortcuts[session] = options.get("shortcuts", [])
        last_session = session
        registrations[session] = conn.register_object(
            session, Gio.DBusNodeInfo.new_for_xml(SESSION_XML).interfaces[0], session_call, None, None)
        handle = request_path(sender, token)
        invocation.return_value(GLib.Variant("(o)", (handle,)))
        respond(sender, handle, 0, {"session_handle": GLib.Variant("s", session)})
    elif method == "BindShortcuts":
        session, shortcuts, parent, options = args
        calls.append({"method": "BindShortcuts", "session": session,
                      "shortcuts": [[i, props] for i, props in shortcuts], "parent_window": parent})
        handle = request_path(sender, options.get("handle_token", "t"))
        invocation.return_value(GLib.Variant("(o)", (handle,)))
        code, left_out = next_bind if next_bind else (0, [])
        next_bind = None
        if session not in sessions:
            code = 2
        if session_set:
            shortcuts = session_shortcuts.get(session, [])
        bound = [(i, {"description": GLib.Variant("s", props.get("description", "")),
                      "trigger_description": GLib.Variant("s", props.get("preferred_trigger", ""))})
                 for i, props in shortcuts if i not in left_out and i not in always_left_out]
        results = {"shortcuts": GLib.Variant("a(sa{sv})", bound)} if code == 0 else {}
        respond(sender, handle, code, results)
    else:
        invocation.return_dbus_error("org.freedesktop.DBus.Error.NotSupported", method)


def portal_property(conn, sender, path, interface, name):
    return GLib.Variant("u", 1)


def session_call(conn, sender, path, interface, method, params, invocation):
    calls.append({"method": "Close", "session": path})

    # Closing takes a moment (the real portal hands it to its backend) and is answered once done.
    def close():
        sessions.pop(path, None)
        # A closed session's path may be opened again, under the same token.
        conn.unregister_object(registrations.pop(path))
        invocation.return_value(None)
        return False
    GLib.timeout_add(100, close)


def control_call(conn, sender, path, interface, method, params, invocation):
    global next_bind
    args = params.unpack()
    if method == "Calls":
        invocation.return_value(GLib.Variant("(s)", (json.dumps(calls),)))
    elif method == "Activate":
        if last_session:
            conn.emit_signal(None, "/org/freedesktop/portal/desktop", "org.freedesktop.portal.GlobalShortcuts",
                             "Activated", GLib.Variant("(osta{sv})", (last_session, args[0], 1234, {})))
        invocation.return_value(None)
    elif method == "AnswerNextBind":
        next_bind = (args[0], list(args[1]))
        invocation.return_value(None)
    elif method == "LeaveOut":
        always_left_out[:] = list(args[0])
        invocation.return_value(None)


def main():
    global connection
    loop = GLib.MainLoop()
    connection = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    connection.register_object("/org/freedesktop/portal/desktop",
                               Gio.DBusNodeInfo.new_for_xml(PORTAL_XML).interfaces[0],
                               portal_call, portal_property, None)
    connection.register_object("/org/quillet/Test", Gio.DBusNodeInfo.new_for_xml(CONTROL_XML).interfaces[0],
                               control_call, None, None)

    def acquired(conn, name):
        print("ready", flush=True)

    def lost(conn, name):
        print("name lost", file=sys.stderr, flush=True)
        loop.quit()

    Gio.bus_own_name_on_connection(connection, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                                   acquired, lost)
    loop.run()


if __name__ == "__main__":
    main()
