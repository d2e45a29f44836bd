#!/usr/bin/env bash
# Starts Corvane on the given file, or explains what to do when there is no display to show it on.
set -euo pipefail
binary=$1
shift
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  command_line=$(printf '%q ' "$binary" "$@")
  cat >&2 <<TEXT
There is no display to open Corvane's window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
On a machine without a desktop, run it inside a virtual X server (Debian package xvfb):
  xvfb-run -a -s "-screen 0 1280x800x24" ${command_line% }
and look at it with a VNC server such as x11vnc, or take a screenshot with ImageMagick's import.
TEXT
  exit 1
fi
exec "$binary" "$@"
