#!/usr/bin/env bash
# Runs every benchmark binary in the given directory (default build/bench/bench), keeps Google
# Benchmark's JSON beside them, and prints for each case the ratio of Corvane's median CPU time to
# libplist's: below 1 means ours is faster. These are the numbers bench/README.md reports.
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
median = {r["run_name"]: r for r in runs if r.get("aggregate_name") == "median"}
print(f"\n{'case':45} {'corvane':>12} {'libplist':>12} {'ratio':>7}")
for name, ours in median.items():
    if not name.endswith("/corvane"):
        continue
    case = name[: -len("/corvane")]
    theirs = median.get(case + "/libplist")
    if not theirs:
        continue
    unit = ours["time_unit"]
    print(f"{case:45} {ours['cpu_time']:>9.0f} {unit:2} {theirs['cpu_time']:>9.0f} {unit:2}"
          f" {ours['cpu_time'] / theirs['cpu_time']:>7.2f}")
PY
done
