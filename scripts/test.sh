#!/usr/bin/env bash
# Installs what is missing, builds the debug preset and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
preset=${1:-debug}
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
