#!/usr/bin/env bash
# Starts Corvane on the given file, or explains what to do when there is no display to show it on.
set -euo pipefail
binary=$1
shift
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<TEXT
There is no display to open Corvane's window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
On a machine without a desktop, run it inside a virtual X server:
  xvfb-run -a $binary $*
TEXT
  exit 1
fi
exec "$binary" "$@"
