#!/usr/bin/env bash
# Installs what is missing, builds a preset (default: asan, the debug build under
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs every test. `debug` builds
# faster and runs the same tests without the sanitizers. Then the Debian package is built
# and checked (scripts/package-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
preset=${1:-asan}
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
# The Debian package as the distribution checks it; as root also installed and removed.
bash scripts/package-test.sh
