#!/usr/bin/env bash
# Soak of the running application: many create requests handed over by later launches, and many
# Quick Create panel openings closed with Escape, in one run of the resident application (tray
# icon in a real tray, no window at launch). After a warm-up its resident memory (VmRSS) and its
# open file descriptors are taken; at the end, memory must have grown by less than 2 MB and no
# descriptor may be left over. Every create request must have made its file.
#
# Requests go to the instance's socket as a launch sends them; every 50th is a real "quillet URL"
# launch, so the launcher's own forwarding takes part too. Runs inside tests/support/x11-session.sh
# --wm (started here when needed).
#
# Usage: bench/soak.sh [--short] [--requests N] [--cycles N] [BUILD_DIR]
#   default 10,000 requests and 1,000 panel cycles; --short is 500 and 50.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
requests=10000 cycles=1000 args=("$@")
while [ $# -gt 0 ]; do
  case $1 in
    --short) requests=500 cycles=50; shift ;;
    --requests) requests=$2; shift 2 ;;
    --cycles) cycles=$2; shift 2 ;;
    *) break ;;
  esac
done
build_dir=${1:-$here/build}
if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  exec "$here/tests/support/x11-session.sh" --wm -- "$0" "${args[@]}"
fi
for tool in xdotool python3; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done
quillet=$build_dir/bin/quillet
[ -x "$quillet" ] || { echo "no program at $quillet"; exit 77; }
work=$(mktemp -d)
tray= viewer=
trap 'kill $tray $viewer 2>/dev/null; rm -rf "$work"' EXIT
export QUILLET_LOG=stderr
# Reveals of the new files are answered by a stand-in file manager, so no folder window opens.
"$here/tests/support/fake_file_manager.py" '{}' >/dev/null 2>&1 & viewer=$!
command -v trayer >/dev/null && { trayer --edge top --align right --widthtype request --height 24 \
  --SetDockType false --transparent false >/dev/null 2>&1 & tray=$!; }
"$quillet" defaults write appPresence -json '"menuBarOnly"'
"$quillet" defaults write hasCompletedOnboarding -json true

python3 - "$quillet" "$requests" "$cycles" "$work" <<'PY'
import os, signal, socket, subprocess, sys, time
quillet, requests, cycles, work = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
socket_path = os.path.join(os.environ["XDG_RUNTIME_DIR"], "org.quillet.Quillet.socket")
started = time.monotonic()

log = open(os.path.join(work, "app.log"), "w+")
app = subprocess.Popen([quillet], stderr=log, stdout=subprocess.DEVNULL)
def wait_until(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            app.kill()
            log.flush()
            with open(log.name) as f:
                print("".join(f.readlines()[-15:]), end="")
            sys.exit(f"FAIL: {what} (after {seconds} s)")
        if app.poll() is not None:
            sys.exit(f"FAIL: the application ended with {app.returncode} while waiting for {what}")
        time.sleep(0.002)
def logged(text):
    log.flush()
    with open(log.name) as f:
        return text in f.read()
wait_until(lambda: logged("Quillet+ started"), 60, "the application to start")

def send(message):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET)
    s.settimeout(10)
    s.connect(socket_path)
    s.send(message)
    reply = s.recv(1)
    s.close()
    if reply != b"k":
        sys.exit(f"FAIL: the instance did not accept {message!r} (answer {reply!r})")

folder = os.path.join(work, "folder")
os.mkdir(folder)
created = os.path.join(folder, "Untitled.txt")
url = "quillaxe://create?type=txt&directory=" + folder
def create(i):
    if i % 50 == 0:
        subprocess.run([quillet, url], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    else:
        send(b"quillet-request 1\nopen-url\n" + url.encode())
    wait_until(lambda: os.path.exists(created), 20, f"request {i + 1} to create its file")
    os.remove(created)

def panel_visible():
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Create File$"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
def panel_cycle(i):
    send(b"quillet-request 1\nquick-create")
    wait_until(panel_visible, 20, f"the panel to show (cycle {i + 1})")
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    wait_until(lambda: not panel_visible(), 20, f"Escape to hide the panel (cycle {i + 1})")

def rss_kb():
    with open(f"/proc/{app.pid}/status") as f:
        return int(next(l for l in f if l.startswith("VmRSS")).split()[1])
def fds():
    return len(os.listdir(f"/proc/{app.pid}/fd"))
def settle():
    time.sleep(2)

# Requests and panel cycles interleaved, so each runs among the other's leftovers.
def run(request_range, cycle_count):
    per_cycle = max(1, len(request_range) // max(1, cycle_count))
    done_cycles = 0
    for n, i in enumerate(request_range):
        create(i)
        if (n + 1) % per_cycle == 0 and done_cycles < cycle_count:
            panel_cycle(done_cycles)
            done_cycles += 1
    while done_cycles < cycle_count:
        panel_cycle(done_cycles)
        done_cycles += 1

warm_requests, warm_cycles = min(200, requests // 10), min(20, cycles // 10)
run(range(warm_requests), warm_cycles)
settle()
rss_start, fds_start = rss_kb(), fds()
soak_started = time.monotonic()
run(range(warm_requests, requests), cycles - warm_cycles)
soak_seconds = time.monotonic() - soak_started
settle()
rss_end, fds_end = rss_kb(), fds()

print(f"{requests} create requests ({requests // 50} through the launcher), {cycles} Quick Create panel cycles; "
      f"warm-up {warm_requests} + {warm_cycles}, then {soak_seconds:.0f} s; {time.monotonic() - started:.0f} s in all")
print(f"resident memory after warm-up {rss_start / 1024:.2f} MB, at the end {rss_end / 1024:.2f} MB "
      f"(grew {(rss_end - rss_start) / 1024:+.2f} MB)")
print(f"open file descriptors after warm-up {fds_start}, at the end {fds_end}")
app.send_signal(signal.SIGTERM)
app.wait(timeout=20)
failures = []
if rss_end - rss_start >= 2048:
    failures.append("resident memory grew by 2 MB or more")
if fds_end > fds_start:
    failures.append("file descriptors were left open")
if app.returncode != 0:
    failures.append(f"the application ended with {app.returncode}")
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
PY
