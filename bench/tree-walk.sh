#!/usr/bin/env bash
# Walks a tree of 20,000 files on a tmpfs with `corvane --list -R`, `corvane --dump -R` and
# `getfattr -R -d` side by side, and prints each one's median wall time, CPU time (user and system,
# all threads) and peak memory over 5 runs,
# taken in turns so that the machine's drift hits all alike; then the same on a tenth of the tree, which
# shows whether memory grows with the tree.
#
#   bash bench/tree-walk.sh [CORVANE]     CORVANE defaults to build/default/src/corvane
#
# Needs root to mount the tmpfs (the disk's cache would otherwise decide the times); without it the
# benchmark says so and does nothing. Needs getfattr (attr), python3 and GNU time (time).
set -euo pipefail

corvane=$(realpath "${1:-build/default/src/corvane}")
runs=5
files=20000
[[ -x $corvane ]] || { echo "no corvane at $corvane: build it first (make build)" >&2; exit 2; }
for tool in getfattr python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: bash scripts/install-deps.sh bench" >&2; exit 2; }
done
if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: mounting a tmpfs needs root; run this script as root (or with sudo)"
  exit 0
fi

mount_point=$(mktemp -d)
cleanup() { umount "$mount_point" 2>/dev/null || true; rmdir "$mount_point"; rm -f "${timing:-}"; }
trap cleanup EXIT
if ! mount -t tmpfs -o size=64m tmpfs "$mount_point"; then
  echo "skipped: this machine does not let even root mount a tmpfs (a container without CAP_SYS_ADMIN?)"
  exit 0
fi

# 200 folders of 100 files, each file with what a file from a Mac carries: keywords and tags as binary
# and XML property lists, a desktop comment as plain text; every tenth folder is the small tree.
python3 - "$mount_point" "$files" <<'PY'
import os, plistlib, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    folder = os.path.join(root, 'small' if i % 10 == 0 else 'rest', 'd%03d' % (i // 100))
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, 'file%05d.pdf' % i)
    open(path, 'w').close()
    os.setxattr(path, 'user.com.apple.metadata:kMDItemKeywords',
                plistlib.dumps(['report', 'draft %d' % i, 'caf\u00e9'], fmt=plistlib.FMT_BINARY))
    os.setxattr(path, 'user.com.apple.metadata:_kMDItemUserTags',
                plistlib.dumps(['Red\n6', 'Work'], fmt=plistlib.FMT_XML))
    os.setxattr(path, 'user.xdg.comment', ('Sent by Ann, file %d' % i).encode())
PY

timing=$(mktemp)
measure() { # prints "seconds kilobytes cpu-seconds" for one run of the command
  /usr/bin/time -f '%e %M %U %S' -o "$timing" "$@" >/dev/null 2>&1 || true
  tail -n1 "$timing" | awk '{ print $1, $2, $3 + $4 }'
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# The walk alone (every name listed, no value read): the same calls on both sides but getfattr's lstat.
declare -A commands=(
  [getfattr]="getfattr -R -d"
  [list]="$corvane --list -R"
  [dump]="$corvane --dump -R"
  [getfattr-walk]="getfattr -R -d -m ^\$"
  [corvane-walk]="$corvane --list -R --match ^\$"
)
order=(getfattr list dump getfattr-walk corvane-walk)
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
echo "| tree | command | median wall time (s) | median CPU time (s) | median peak memory (MiB) |"
echo "|---|---|---:|---:|---:|"
for tree in "$mount_point" "$mount_point/small"; do
  label=$([[ $tree == "$mount_point" ]] && echo "$files files" || echo "$((files / 10)) files")
  declare -A times=() memory=() cpu=()
  for name in "${order[@]}"; do measure ${commands[$name]} "$tree" >/dev/null; done # warm up
  for ((run = 0; run < runs; run++)); do
    for name in "${order[@]}"; do
      read -r seconds kilobytes cpuseconds < <(measure ${commands[$name]} "$tree")
      times[$name]+="$seconds "
      memory[$name]+="$kilobytes "
      cpu[$name]+="$cpuseconds "
    done
  done
  for name in "${order[@]}"; do
    t=$(tr ' ' '\n' <<<"${times[$name]}" | grep . | median)
    m=$(tr ' ' '\n' <<<"${memory[$name]}" | grep . | median)
    c=$(tr ' ' '\n' <<<"${cpu[$name]}" | grep . | median)
    printf '| %s | `%s DIR` | %s | %s | %s |\n' "$label" "${commands[$name]/$corvane/corvane}" "$t" "$c" \
      "$(awk -v k="$m" 'BEGIN { printf "%.1f", k / 1024 }')"
  done
  unset times memory cpu
done
