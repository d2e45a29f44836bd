#!/usr/bin/env bash
# Files whose attributes are small on disk but would expand a thousandfold, opened the two ways a user
# opens them: `corvane --list --json` and the editor window with its attributes panel.
#
#   bash bench/hostile-files.sh [CORVANE] [ROUNDS]     defaults: build/default/src/corvane, 3
#
# Each file carries 1,000 attributes of one shape (see bench/README.md):
#   list-of-shared-lists  413 bytes: a list of 120 references to one list of 240 references to one null
#   escaped-keys          2,030 bytes: a list of 970 references to one dictionary whose only key is
#                         1,000 bytes of \x01, which JSON writes as \u0001
# Ext4 keeps only about 4 KiB of attributes per file, so the files live on a tmpfs this script mounts,
# which needs root; without it the script says so and stops.
#
# For --list --json it prints the wall and CPU time, the peak resident memory and the bytes written
# (medians of ROUNDS runs). For the window, under a private Xvfb and session bus: the peak resident memory and the
# longest time the window took to answer a _NET_WM_PING (sent every 20 ms from the moment it is mapped
# until its memory has been steady for two seconds), the way a window manager decides that a window
# has stopped responding.
set -euo pipefail
corvane=$(realpath "${1:-build/default/src/corvane}")
rounds=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
[[ -x $corvane ]] || { echo "no $corvane: build the corvane target first" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  umount "$work/tmpfs" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/tmpfs"
if ! mount -t tmpfs -o size=32m tmpfs "$work/tmpfs" 2>"$work/mount.log"; then
  echo "skipped: 1,000 attributes need a tmpfs, and mounting one was refused ($(cat "$work/mount.log"));" \
    "run as root" >&2
  exit 0
fi

# The seeds of the property-list fuzz target carry each shape (scripts/make-plist-corpus.py writes them).
python3 - "$work/tmpfs" "$here/../fuzz/corpus/plist" <<'PY'
import os, sys
for name in ["list-of-shared-lists", "escaped-keys"]:
    value = open(os.path.join(sys.argv[2], name.replace("list-of-", "") + ".bplist"), "rb").read()
    path = os.path.join(sys.argv[1], name)
    open(path, "wb").close()
    for i in range(1000):
        os.setxattr(path, b"user.bomb%04d" % i, value)
PY

echo "== corvane --list --json, median of $rounds runs ($corvane)"
python3 - "$corvane" "$rounds" "$work/tmpfs"/* <<'PY'
import os, resource, statistics, subprocess, sys, time
corvane, rounds, files = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
for path in files:
    times, cpus, peaks, written = [], [], [], 0
    for _ in range(rounds):
        start = time.perf_counter()
        process = subprocess.Popen([corvane, "--list", "--json", path], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        written = sum(len(chunk) for chunk in iter(lambda: process.stdout.read(1 << 20), b""))
        _, status, usage = os.wait4(process.pid, 0)
        times.append(time.perf_counter() - start)
        cpus.append(usage.ru_utime + usage.ru_stime)
        peaks.append(usage.ru_maxrss / 1024)
    print(f"{os.path.basename(path):22} {statistics.median(times) * 1000:7.0f} ms wall {statistics.median(cpus) * 1000:7.0f} ms CPU"
          f" {statistics.median(peaks):8.1f} MiB peak {written / 1e6:8.2f} MB written,"
          f" exit status {os.waitstatus_to_exitcode(status)}")
PY

source "$here/private-session.sh"
mkdir -p "$work/config/Corvane"
printf '[General]\nnoUpdateCheck=true\n' >"$work/config/Corvane/Corvane.conf"
export XDG_CONFIG_HOME=$work/config
unset QT_QPA_PLATFORM

echo "== the window on each file: peak memory and the longest wait for an answer"
python3 - "$corvane" "$work/tmpfs"/* <<'PY'
import ctypes, os, select, subprocess, sys, time
corvane, files = sys.argv[1], sys.argv[2:]
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
for f in ("XPending", "XConnectionNumber", "XFlush"):
    getattr(x11, f).argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
display = x11.XOpenDisplay(None)
root = x11.XDefaultRootWindow(display)
protocols, ping = x11.XInternAtom(display, b"WM_PROTOCOLS", 0), x11.XInternAtom(display, b"_NET_WM_PING", 0)
# Maps of top-level windows, and the answers to pings, which Qt sends to the root window.
StructureNotifyMask, SubstructureNotifyMask, MapNotify, ClientMessage = 1 << 17, 1 << 19, 19, 33
x11.XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask)
x11.XFlush(display)
fd = x11.XConnectionNumber(display)
event = (ctypes.c_long * 24)()  # an XEvent is 192 bytes; longs at 8-byte offsets

def status(pid, field):
    try:
        for line in open(f"/proc/{pid}/status"):
            if line.startswith(field + ":"):
                return int(line.split()[1]) / 1024
    except FileNotFoundError:
        pass
    return 0.0

for path in files:
    while x11.XPending(display):
        x11.XNextEvent(display, event)
    start = time.perf_counter()
    process = subprocess.Popen([corvane, path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = None
    while window is None and time.perf_counter() - start < 30 and process.poll() is None:
        select.select([fd], [], [], 0.5)
        while x11.XPending(display):
            x11.XNextEvent(display, event)
            if event[0] & 0xFFFFFFFF == MapNotify and not event[6] & 0xFFFFFFFF:
                window = event[5]
                break
    if window is None:
        print(f"{os.path.basename(path):22} no window within 30 s")
        process.kill()
        continue
    mapped = time.perf_counter() - start
    waits, serial, last_rss, steady_since = [], 0, -1.0, time.perf_counter()
    # Watched for at least three seconds, and then until the memory has not moved for two.
    while process.poll() is None and time.perf_counter() - start < 180 and (
            time.perf_counter() - start < 3 or time.perf_counter() - steady_since < 2):
        serial += 1
        message = (ctypes.c_long * 24)()
        message[0], message[4], message[5], message[6] = ClientMessage, window, protocols, 32
        message[7], message[8], message[9] = ping, serial, window
        sent = time.perf_counter()
        x11.XSendEvent(display, window, 0, 0, message)
        x11.XFlush(display)
        answered = False
        while not answered and time.perf_counter() - sent < 60:
            # Xlib may already hold the answer in its queue, where select() would not see it.
            while x11.XPending(display):
                x11.XNextEvent(display, event)
                if event[0] & 0xFFFFFFFF == ClientMessage and event[7] == ping and event[8] == serial:
                    answered = True
            if not answered:
                select.select([fd], [], [], 0.1)
        waits.append(time.perf_counter() - sent)
        rss = status(process.pid, "VmRSS")
        if abs(rss - last_rss) > 1:
            last_rss, steady_since = rss, time.perf_counter()
        time.sleep(0.02)
    peak = status(process.pid, "VmHWM")
    alive = process.poll() is None
    process.terminate()
    process.wait()
    # The first ping meets the window's first paint, which any window pays; the rest are the file's.
    print(f"{os.path.basename(path):22} mapped after {mapped * 1000:5.0f} ms, steady after"
          f" {(steady_since - start):6.1f} s, peak {peak:8.1f} MiB, first answer {waits[0] * 1000:6.0f} ms,"
          f" longest wait after it {max(waits[1:], default=0) * 1000:7.0f} ms"
          + ("" if alive else ", ended by itself"))
PY
