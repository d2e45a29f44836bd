#!/usr/bin/env bash
# Startup time of Corvane on a file against a bare Qt window with the same widgets (bench/startup/),
# from exec to the window mapped, under a private Xvfb and a private session bus.
#
#   bash bench/startup.sh [BUILD_DIR] [ROUNDS]     defaults: build/default, 7
#
# The two programs are launched alternately, ROUNDS times each after one unmeasured warm-up each, each
# launch ended before the next starts, so both see the same caches and the same load. Prints each
# side's median and the ratio of the medians, Corvane / bare: the number bench/README.md reports.
set -euo pipefail
build=$(cd "${1:-build/default}" && pwd)
rounds=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
corvane=$build/src/corvane
[[ -x $corvane ]] || { echo "no $corvane: build the corvane target first" >&2; exit 2; }

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
reference=$build/bench-startup
cmake -S "$here/startup" -B "$reference" -G Ninja -DCMAKE_BUILD_TYPE="${build_type:-RelWithDebInfo}" >/dev/null
cmake --build "$reference" >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

source "$here/private-session.sh"

# A launch where no update check is due, as nearly every one is.
mkdir -p "$work/config/Corvane"
printf '[General]\ndateLastUpdateCheck=%s\n' "$(python3 -c 'import time; print(time.time() - 978307200)')" \
  >"$work/config/Corvane/Corvane.conf"
export XDG_CONFIG_HOME=$work/config
unset QT_QPA_PLATFORM
file=$work/report.txt
echo "demo" >"$file"

python3 - "$rounds" "$corvane" "$reference/bare_window" "$file" <<'PY'
import ctypes, os, select, statistics, subprocess, sys, time

rounds, corvane, bare, path = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
SubstructureNotifyMask, MapNotify = 1 << 19, 19
x11.XSelectInput(display, x11.XDefaultRootWindow(display), SubstructureNotifyMask)
x11.XFlush(display)
fd = x11.XConnectionNumber(display)
event = (ctypes.c_long * 24)()  # an XEvent is 192 bytes

def drain():
    while x11.XPending(display):
        x11.XNextEvent(display, event)

def launch(program):
    """Seconds from exec to the first top-level window (not a menu or tool tip) being mapped."""
    drain()
    start = time.perf_counter()
    process = subprocess.Popen([program, path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = None
    while mapped is None:
        if time.perf_counter() - start > 30:
            break
        select.select([fd], [], [], 0.5)
        while x11.XPending(display):
            x11.XNextEvent(display, event)
            override_redirect = ctypes.c_int.from_buffer(event, 48).value
            if ctypes.c_int.from_buffer(event, 0).value == MapNotify and not override_redirect:
                mapped = time.perf_counter() - start
                break
    process.terminate()
    process.wait()
    if mapped is None:
        sys.exit(f"{program} showed no window within 30 s")
    return mapped

launch(corvane), launch(bare)  # warm-up: libraries and fonts into the page cache
times = {"corvane": [], "bare": []}
for i in range(rounds):
    order = [("corvane", corvane), ("bare", bare)]
    for name, program in order if i % 2 == 0 else reversed(order):
        times[name].append(launch(program))
c, b = statistics.median(times["corvane"]), statistics.median(times["bare"])
for name, values in times.items():
    print(f"{name:8} " + " ".join(f"{v * 1000:6.1f}" for v in values) + " ms")
print(f"median: corvane {c * 1000:.1f} ms, bare window {b * 1000:.1f} ms, ratio {c / b:.2f}")
PY
