#!/usr/bin/env bash
# Makes a small file carrying a few metadata attributes, so that a first `make run` shows values at once:
# binary property lists holding one string, as Corvane itself writes them, and the other kinds a file
# from a Mac or a Linux desktop carries (lists, Finder tags, a date, a quarantine record, plain text). All of it fits the 4 KiB that ext4
# holds per file.
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

# Any other value: a Python expression (plistlib and datetime imported) giving the bytes.
set_value() {
  python3 -c 'import os, sys, plistlib, datetime; os.setxattr(sys.argv[1], sys.argv[2], eval(sys.argv[3]))' \
    "$file" "$1" "$2"
}
set_value user.com.apple.metadata:kMDItemAuthors "plistlib.dumps(['Zoë Brontë', 'Åsa Nyström'], fmt=plistlib.FMT_BINARY)"
set_value user.com.apple.metadata:kMDItemWhereFroms "plistlib.dumps(['https://corvane.org/demo.txt', 'https://corvane.org/'], fmt=plistlib.FMT_BINARY)"
set_value user.com.apple.metadata:kMDItemDownloadedDate "plistlib.dumps([datetime.datetime(2026, 12, 6, 9, 30)], fmt=plistlib.FMT_BINARY)"
set_value user.com.apple.metadata:_kMDItemUserTags "plistlib.dumps(['Work\\n6', 'Holiday\\n4', 'Family\\n2', 'Later'], fmt=plistlib.FMT_BINARY)"
set_value user.com.apple.quarantine "b'0083;5f1e2a3b;Safari;F643CD5F-6071-46AB-83AB-390BA944DEC5'"
setfattr -n user.xdg.comment -v "Plain text, as Linux file managers store a comment." "$file"
echo "Demo file: $file"
