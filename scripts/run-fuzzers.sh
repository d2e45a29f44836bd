#!/usr/bin/env bash
# Runs every libFuzzer target for the given number of seconds over its checked-in seed corpus.
# New inputs go to a scratch corpus, so the checked-in one stays as reviewed. Any crash fails, and so
# does an input that takes over 2 s or 512 MB: hostile input must be decided quickly and in bounded memory.
set -euo pipefail
# AddressSanitizer keeps freed memory in a quarantine of 256 MB by default, resident all the same: the
# cap would then measure the allocator rather than the input. 16 MB still catches use after free.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16
dir=$1
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
found=0
for target in "$dir"/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  found=1
  name=$(basename "$target" | sed 's/^fuzz_//')
  seeds="$root/fuzz/corpus/$name"
  # The writers' and the editable value's round trips start from whatever the reader reads, so the
  # reader's seeds serve them.
  case $name in binarywriter | xmlwriter | editablevalue) seeds="$root/fuzz/corpus/plist" ;; esac
  scratch=$(mktemp -d)
  artifacts="$root/build/fuzz-artifacts/$name/"
  mkdir -p "$artifacts"
  echo "== fuzz_$name for ${seconds}s over $seeds"
  "$target" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$scratch" "$seeds"
  rm -rf "$scratch"
done
[ "$found" -eq 1 ] || { echo "no fuzz targets in $dir" >&2; exit 1; }
