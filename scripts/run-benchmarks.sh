#!/usr/bin/env bash
# Runs every benchmark binary; results print to the terminal for bench/README.md.
set -euo pipefail
dir=$1
for b in "$dir"/bench_*; do
  [ -x "$b" ] || continue
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
