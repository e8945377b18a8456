#!/usr/bin/env bash
# Installs what is missing, builds a preset (default: asan, the debug build under
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs every test. `debug` builds
# faster and runs the same tests without the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
preset=${1:-asan}
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
