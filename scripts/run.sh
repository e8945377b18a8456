#!/usr/bin/env bash
# Installs what is missing, builds the release preset and starts the program connected to the
# built-in register emulator. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
if [ -x build/release/src/app/vorn-duno ]; then
    exec build/release/src/app/vorn-duno --emulator "$@"
fi
exec build/release/src/cli/vduno --help
