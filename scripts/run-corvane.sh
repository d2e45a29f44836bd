#!/usr/bin/env bash
# Starts Corvane on the given file. Without a display it explains how to get one and lists the file's
# attributes on the terminal instead, which needs none.
set -euo pipefail
binary=$1
shift
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  command_line=$(printf '%q ' "$binary" "$@")
  cat >&2 <<TEXT
There is no display to open Corvane's window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
On a machine without a desktop, run it inside a virtual X server (bash scripts/install-deps.sh
screenshots installs one, a window manager and ImageMagick):
  xvfb-run -a -s "-screen 0 1280x800x24" ${command_line% }
and look at it with a VNC server such as x11vnc, or take a screenshot with ImageMagick's import.

Meanwhile, here is what Corvane would show, as its command line lists it (corvane --list):

TEXT
  exec "$binary" --list "$@"
fi
exec "$binary" "$@"
