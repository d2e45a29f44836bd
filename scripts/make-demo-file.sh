#!/usr/bin/env bash
# Makes a small file carrying a few metadata attributes, so that a first `make run` shows values at once.
# Values are binary property lists holding one string, as Corvane itself writes them.
set -euo pipefail
file=$1
mkdir -p "$(dirname "$file")"
printf 'A demo file for Corvane. Its data is never read; only its extended attributes are.\n' > "$file"

set_string() {
  local name=$1 text=$2 hex
  hex=$(python3 -c 'import plistlib, sys; print(plistlib.dumps(sys.argv[1], fmt=plistlib.FMT_BINARY).hex())' "$text")
  setfattr -n "user.com.apple.metadata:kMDItem$name" -v "0x$hex" "$file"
}

set_string Comment "Opened by make run: pick another attribute above, edit, and press Save."
set_string Keywords "demo, metadata, extended attributes"
set_string Copyright "© 2026 Zoë Brontë, Åsa Nyström"
set_string Description $'A demo file.\nIts description spans\nthree lines.'
echo "Demo file: $file"
