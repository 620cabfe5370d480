#!/usr/bin/env bash
# One instance that every launch reaches: with Quillet+ running, "quillet URL" creates the file
# inside the running instance, a second "quillet" and "quillet quick-create" are carried out
# there and exit 0, the socket survives garbage and refuses another user, and quitting with the
# panel open hides it and releases the hot key. Runs inside tests/support/x11-session.sh --wm.
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
for tool in xdotool python3 setpriv; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done
work=$(mktemp -d)
pid=
viewer=
trap 'kill -KILL $pid $viewer 2>/dev/null; rm -rf "$work"' EXIT
export QUILLET_LOG=stderr
# The session's own Desktop, where a forwarded "create TYPE --destination desktop" goes.
mkdir -p "$work/Desktop" "$XDG_CONFIG_HOME"
echo "XDG_DESKTOP_DIR=\"$work/Desktop\"" >"$XDG_CONFIG_HOME/user-dirs.dirs"
socket=$XDG_RUNTIME_DIR/org.quillet.Quillet.socket

wait_for() {  # condition, tenths of a second
  for _ in $(seq 1 "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
# Sends the bytes of a Python bytes literal to the socket as one packet; prints the answer byte,
# or "closed".
send_raw() {
  python3 - "$socket" "$1" <<'EOF'
import socket, sys
s = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET)
s.settimeout(5)
s.connect(sys.argv[1])
s.send(eval(sys.argv[2]))
try:
    reply = s.recv(1)
except (ConnectionResetError, TimeoutError):
    reply = b""
print(reply.decode() if reply else "closed")
EOF
}

# Reveals of new files go to a stand-in file manager: without one, a folder window would be
# opened instead, and outlive the test.
"$(dirname "$0")/../../support/fake_file_manager.py" '{}' >"$work/viewer.out" 2>&1 &
viewer=$!
"$quillet" 2>"$work/instance.log" &
pid=$!
check "the instance starts" 'wait_for "grep -q \"Quillet+ started\" $work/instance.log" 100'
check "it listens on its socket" '[ -S "$socket" ] && [ "$(stat -c %a "$socket")" = 600 ]'

# A link the desktop hands over is created by the instance, and the launch exits at once.
mkdir "$work/folder with space"
"$quillet" "quillaxe://create?type=txt&directory=$work/folder%20with%20space" >"$work/out" 2>&1; rc=$?
check "a forwarded URL exits 0" '[ $rc -eq 0 ]'
check "the forwarding launch prints the new file, as in its own process" \
  '[ "$(cat "$work/out")" = "$work/folder with space/Untitled.txt" ]'
check "the instance created the file" 'wait_for "[ -f \"$work/folder with space/Untitled.txt\" ]" 50'
check "the instance logged the request" 'grep -q "Request from another launch: open-url" "$work/instance.log" &&
  grep -q "Created file from Finder request: $work/folder with space/Untitled.txt" "$work/instance.log"'

# What a desktop key binding runs: created by the instance, printed here with the status line.
"$quillet" create json --destination desktop >"$work/out" 2>&1; rc=$?
check "a forwarded create prints the file and its status line (rc $rc: $(cat "$work/out"))" \
  '[ $rc -eq 0 ] && [ "$(head -1 "$work/out")" = "$work/Desktop/Untitled.json" ] && [ -f "$work/Desktop/Untitled.json" ] &&
   [ "$(wc -l <"$work/out")" -eq 2 ]'

# A second launch brings the running one forward instead of failing.
"$quillet" >"$work/out" 2>&1; rc=$?
check "a second launch exits 0" '[ $rc -eq 0 ] && [ ! -s "$work/out" ]'
check "the instance was asked to come forward" 'wait_for "grep -q \"Request from another launch: activate\" $work/instance.log" 30'
# Counts the application processes of this session only: tests running alongside (and anyone's
# own instance) have runtime folders of their own.
session_instances() {
  local n=0 pid
  for pid in $(pgrep -f "libexec/quillet-app"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" && n=$((n + 1))
  done
  echo "$n"
}
check "only one instance runs" '[ "$(session_instances)" -eq 1 ]'

# Garbage on the socket: refused or dropped, and the instance still serves the next launch.
check "a message that is no request is refused" '[ "$(send_raw "b\"hello\"")" = x ]'
check "an unknown verb is refused" '[ "$(send_raw "b\"quillet-request 1\\nformat-disk\"")" = x ]'
check "a URL with a NUL byte is refused" '[ "$(send_raw "b\"quillet-request 1\\nopen-url\\nquillaxe:\\x00\"")" = x ]'
check "a request too long is refused" '[ "$(send_raw "b\"quillet-request 1\\nopen-url\\n\" + b\"q\" * 70000")" = x ]'
# A connection that sends nothing is dropped after a while, without holding up anyone else.
python3 -c "
import socket, sys, time
s = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET); s.connect(sys.argv[1]); time.sleep(4)" "$socket" &
idle=$!
sleep 0.3
"$quillet" "quillaxe://create?type=md&directory=$work/folder%20with%20space" >/dev/null 2>&1; rc=$?
check "a launch is served while another connection idles" '[ $rc -eq 0 ] &&
  wait_for "[ -f \"$work/folder with space/Untitled.md\" ]" 50'
wait $idle
check "the idle connection was dropped" 'grep -q "Dropped a launch that sent no request" "$work/instance.log"'
check "the instance survived all of it" 'kill -0 $pid'

# Another user's process that reaches the socket is refused by its credentials, not by the
# file's mode alone: the folder and the socket are opened up for this check only.
chmod 0711 "$QUILLET_SESSION_DIR" "$XDG_RUNTIME_DIR"; chmod 0666 "$socket"
reply=$(setpriv --reuid=65534 --regid=65534 --clear-groups /usr/bin/python3 -c "
import socket, sys
s = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET); s.settimeout(5); s.connect(sys.argv[1])
try: s.send(b'quillet-request 1\nquick-create'); r = s.recv(1)
except OSError: r = b''
print(r.decode() or 'closed')" "$socket" 2>&1)
check "another user's request gets no answer (got: $reply)" '[ "$reply" = closed ]'
check "and is logged as refused" 'grep -q "Refused a request from user 65534" "$work/instance.log"'
check "and shows no panel" '! xdotool search --onlyvisible --name "^Create File$" >/dev/null 2>&1'
chmod 0700 "$QUILLET_SESSION_DIR" "$XDG_RUNTIME_DIR"; chmod 0600 "$socket"

# The runtime folder emptied under the running instance (some session managers do): it puts its
# socket and lock back (at once: it watches the folder; the log below says it saw them go), and a
# launch still reaches it rather than starting another.
find "$XDG_RUNTIME_DIR" -mindepth 1 -maxdepth 1 -name 'org.quillet.Quillet*' -exec rm -f {} +
check "the instance puts them back" 'wait_for "[ -S \"$socket\" ] && [ -f \"$XDG_RUNTIME_DIR/org.quillet.Quillet.lock\" ]" 50'
"$quillet" "quillaxe://create?type=css&directory=$work/folder%20with%20space" >/dev/null 2>&1; rc=$?
check "a launch afterwards reaches it" '[ $rc -eq 0 ] && wait_for "[ -f \"$work/folder with space/Untitled.css\" ]" 50 &&
  grep -q "Request from another launch: open-url" "$work/instance.log"'
"$quillet" >/dev/null 2>&1 &
check "and a plain launch starts no second instance" 'sleep 1; [ "$(session_instances)" -eq 1 ]'
check "the removal was logged" 'grep -q "socket or lock was removed" "$work/instance.log"'

# "quillet quick-create" shows the panel of the running instance; quitting then hides it and
# takes the socket away.
"$quillet" quick-create >/dev/null 2>&1; rc=$?
check "quick-create exits 0" '[ $rc -eq 0 ]'
check "the panel appears" 'wait_for "xdotool search --onlyvisible --name \"^Create File$\" >/dev/null 2>&1" 50'
kill -TERM $pid; wait $pid; rc=$?
check "quitting with the panel open ends cleanly" '[ $rc -eq 0 ] && grep -q "Quillet+ stopped" "$work/instance.log"'
check "the panel is gone" '! xdotool search --onlyvisible --name "^Create File$" >/dev/null 2>&1'
check "the socket is removed" '[ ! -e "$socket" ]'

# With no instance, "quillet quick-create" starts one and shows its panel.
"$quillet" quick-create 2>"$work/started.log" &
pid=$!
check "quick-create starts Quillet+ when none runs" 'wait_for "grep -q \"Quillet+ started\" $work/started.log" 100'
check "and shows the panel" 'wait_for "xdotool search --onlyvisible --name \"^Create File$\" >/dev/null 2>&1" 50'

# A forwarded request that ends in an alert (the folder does not exist): the launch is not held
# past the bound, and says the instance is still at it.
start=$(date +%s%N)
"$quillet" "quillaxe://create?type=md&directory=$work/missing" >"$work/out" 2>"$work/err"; rc=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
check "a request that ends in an alert returns within the bound (rc $rc, ${elapsed} ms)" \
  '[ $rc -eq 3 ] && [ $elapsed -lt 4500 ] && grep -q "still at it" "$work/err"'
# The instance killed while a launch waits: the launch reports it, nothing is left half made, and
# the next launch starts afresh.
"$quillet" "quillaxe://create?type=txt&directory=$work/missing" >"$work/out" 2>"$work/err" &
waiting=$!
sleep 1
kill -KILL $pid; wait $pid 2>/dev/null
wait $waiting; rc=$?
check "killed mid-request, the launch reports failure (rc $rc: $(cat "$work/err"))" \
  '[ $rc -eq 1 ] && grep -q "without an answer" "$work/err"'
check "nothing was made" '[ ! -e "$work/missing" ]'
"$quillet" quick-create 2>"$work/again.log" &
pid=$!
check "the next launch starts afresh" 'wait_for "grep -q \"Quillet+ started\" $work/again.log" 100'
kill -TERM $pid; wait $pid
exit $fail
