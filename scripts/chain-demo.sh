#!/usr/bin/env bash
# Starts a chain of N demo registers (default 5) behind loopback ports from 4101 (or
# $VDUNO_FLEET_PORT) and writes their register list to DIR/chain.txt (DIR default: the current
# directory), then waits; Ctrl+C stops the chain. Builds the release preset if it is missing.
set -euo pipefail
count=${1:-5}
dir=${2:-.}
port=${VDUNO_FLEET_PORT:-4101}
root=$(cd "$(dirname "$0")/.." && pwd)
emulator=$root/build/release/src/emulator/duno-emulator
vduno=$root/build/release/src/cli/vduno
if [ ! -x "$emulator" ] || [ ! -x "$vduno" ]; then
    (
        cd "$root"
        bash scripts/setup.sh
        cmake --preset release
        cmake --build --preset release -j "$(nproc)" --target duno-emulator vduno
    )
fi
mkdir -p "$dir"
list=$(cd "$dir" && pwd)/chain.txt
# The emulator writes the list once every register listens: a list left from before would
# say so too early.
rm -f "$list"

"$emulator" --demo --tcp-fleet "$count" --tcp "$port" --fleet-list "$list" &
pid=$!
trap 'kill -TERM "$pid" 2>/dev/null || true' INT TERM
while [ ! -e "$list" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
        status=0
        wait "$pid" || status=$?
        exit "$status"
    fi
    sleep 0.1
done

echo "Sieć $count kas emulatora (porty od $port), lista kas: $list"
echo "Do wypróbowania w drugim terminalu:"
echo "  $vduno --registers $list backup"
echo "  $vduno --registers $list restore --changed --yes"
echo "  $vduno --registers $list compare"
echo "Ctrl+C zatrzymuje sieć."
# A signal breaks off the wait; wait again until the emulator has stopped every register.
status=0
while kill -0 "$pid" 2>/dev/null; do
    status=0
    wait "$pid" || status=$?
done
exit "$status"
