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
# One target per core at a time: each fuzzer is single-threaded, so two cores fuzz twice as much in the
# same minutes. Each writes its own log, printed whole in turn once it ends.
parallel=${FUZZ_JOBS:-$(nproc)}
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

fuzz_one() {
  local target=$1 name=$2 seeds=$3 scratch artifacts
  scratch=$(mktemp -d)
  artifacts="$root/build/fuzz-artifacts/$name/"
  mkdir -p "$artifacts"
  echo "== fuzz_$name for ${seconds}s over $seeds"
  local status=0
  "$target" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$scratch" "$seeds" || status=$?
  rm -rf "$scratch"
  return "$status"
}

names=()
for target in "$dir"/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target" | sed 's/^fuzz_//')
  seeds="$root/fuzz/corpus/$name"
  # The writers' and the editable value's round trips start from whatever the reader reads, so the
  # reader's seeds serve them.
  case $name in binarywriter | xmlwriter | editablevalue) seeds="$root/fuzz/corpus/plist" ;; esac
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do sleep 1; done
  (fuzz_one "$target" "$name" "$seeds" >"$logs/$name.log" 2>&1; echo $? >"$logs/$name.status") &
  names+=("$name")
done
[ ${#names[@]} -gt 0 ] || { echo "no fuzz targets in $dir" >&2; exit 1; }
wait
failed=()
for name in "${names[@]}"; do
  cat "$logs/$name.log"
  [ "$(cat "$logs/$name.status")" = 0 ] || failed+=("fuzz_$name")
done
[ ${#failed[@]} -eq 0 ] || { echo "failed: ${failed[*]}" >&2; exit 1; }
