# Sourced by the benchmark scripts that open windows: starts a private Xvfb (1280x800) and a private
# session bus, exports DISPLAY and DBUS_SESSION_BUS_ADDRESS, and adds both processes to the caller's
# `pids` array for its cleanup. $work is the caller's scratch directory.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 3>"$work/display" &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")

dbus-daemon --session --nofork --print-address=4 4>"$work/bus" 2>"$work/bus.log" &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/bus ]] && break; sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
