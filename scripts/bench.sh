#!/usr/bin/env bash
# Builds the benchmark preset (release) and runs every benchmark; each figure is printed
# with its limit ("limit_ms") and the ratio to it ("ratio", below 1 is within the limit).
# Arguments are passed to every benchmark, e.g. --benchmark_filter=Grid.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset bench
cmake --build --preset bench -j "$(nproc)"
for program in build/bench/bench/*_bench; do
    echo "== ${program##*/}"
    "$program" --benchmark_counters_tabular=true "$@"
done
