#!/usr/bin/env bash
# Runs every benchmark binary in the given directory (default build/bench/bench), keeps Google
# Benchmark's JSON beside them, and prints for each case the ratio of Corvane's median time to each
# other side's (CPU time, or wall time for cases measured in it): below 1 means ours is faster.
# These are the numbers bench/README.md reports.
set -euo pipefail
dir=${1:-build/bench/bench}
repetitions=${REPETITIONS:-5}
for b in "$dir"/bench_*; do
  [ -x "$b" ] && [ -f "$b" ] || continue
  json="$b.json"
  "$b" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
       --benchmark_out="$json" --benchmark_out_format=json "${@:2}"
  python3 - "$json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
# Cases timed in wall time carry "/real_time" in their names; they are compared in it.
median = {}
for r in runs:
    if r.get("aggregate_name") == "median":
        name, wall = r["run_name"], r["run_name"].endswith("/real_time")
        median[name[: -len("/real_time")] if wall else name] = (r, "real_time" if wall else "cpu_time")
# Every case "<operation>/<input>/corvane" beside each other side of the same operation and input
# (libplist for the property-list code; getfattr and the bare system calls for the listing).
print(f"\n{'case':45} {'side':>10} {'corvane':>12} {'other':>12} {'ratio':>7}")
for name, (ours, time) in median.items():
    if not name.endswith("/corvane"):
        continue
    case = name[: -len("/corvane")]
    for other_name, (theirs, _) in median.items():
        if other_name.rsplit("/", 1)[0] != case or other_name == name:
            continue
        unit = ours["time_unit"]
        print(f"{case:45} {other_name.rsplit('/', 1)[1]:>10} {ours[time]:>9.1f} {unit:2}"
              f" {theirs[time]:>9.1f} {unit:2} {ours[time] / theirs[time]:>7.2f}")
PY
done
