#!/usr/bin/env bash
# Builds the fuzz preset (clang's libFuzzer under AddressSanitizer and UBSan, installing clang
# when it is missing) and runs every fuzz target for MINUTES minutes each (default 10; a
# fraction such as 0.5 works too), one after the other, over its committed corpus in
# fuzz/corpus/<target>/. A crash, a broken property, a hang (an input that takes over 10 s) or a
# leak is minimised and saved in fuzz/corpus/<target>/, so that the test suite replays it from
# then on, and the script exits with 1 after the last target. The inputs a run finds on its way
# stay in a scratch directory; the committed corpus only gains findings.
#
#   bash scripts/fuzz.sh [MINUTES]
#   FUZZ_BUILD_DIR=build/fuzz-x FUZZ_TARGETS="csvimport kasa" bash scripts/fuzz.sh 1
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-10}
if ! [[ $minutes =~ ^[0-9]+([.][0-9]+)?$ ]] || [[ $minutes =~ ^0+([.]0+)?$ ]]; then
    echo "Użycie: bash scripts/fuzz.sh [MINUTY]  (liczba minut na cel, domyślnie 10)" >&2
    exit 2
fi
seconds=$(awk -v m="$minutes" 'BEGIN { s = int(m * 60 + 0.5); print (s < 1 ? 1 : s) }')
build=${FUZZ_BUILD_DIR:-build/fuzz}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang is missing; installing it with apt-get"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    $sudo apt-get install -y clang
fi
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)"

mapfile -t programs < <(find "$build/fuzz" -maxdepth 1 -type f -name '*_fuzz' -perm -u+x | sort)
if [ -n "${FUZZ_TARGETS:-}" ]; then
    wanted=()
    for name in $FUZZ_TARGETS; do
        wanted+=("$build/fuzz/${name}_fuzz")
    done
    programs=("${wanted[@]}")
fi
if [ "${#programs[@]}" -eq 0 ]; then
    echo "No fuzz target was built in $build/fuzz" >&2
    exit 1
fi

logs="$build/fuzz-logs"
mkdir -p "$logs"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
findings=()
summary=()

for program in "${programs[@]}"; do
    name=$(basename "$program" _fuzz)
    corpus="fuzz/corpus/$name"
    mkdir -p "$corpus" "$scratch/$name/found" "$scratch/$name/artifacts"
    log="$logs/$name.log"
    echo "== $name: $seconds s"
    # The first directory takes what the run finds; the committed corpus is only read.
    "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$scratch/$name/artifacts/" \
        "$scratch/$name/found" "$corpus" >"$log" 2>&1 || true

    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    status=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -n 1 || true)
    coverage=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$status")
    features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$status")
    units=$(sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p' <<<"$status")
    result=clean
    for artifact in "$scratch/$name/artifacts"/*; do
        [ -f "$artifact" ] || continue
        # A slow input is timed again alone: one that is quick then was a machine too busy to
        # give the run its time, not a finding.
        case $(basename "$artifact") in
        slow-unit-* | timeout-*)
            if "$program" -runs=1 -timeout=10 "$artifact" >>"$log" 2>&1; then
                echo "   $(basename "$artifact"): quick when run again alone, not kept"
                continue
            fi
            ;;
        esac
        result=FINDING
        minimised="$artifact.min"
        "$program" -minimize_crash=1 -max_total_time=60 -timeout=10 \
            -exact_artifact_path="$minimised" "$artifact" >>"$log" 2>&1 || true
        [ -s "$minimised" ] || minimised="$artifact"
        saved="$corpus/$(sha1sum "$minimised" | cut -c1-40)"
        cp "$minimised" "$saved"
        echo "   $(basename "$artifact") minimised to $(stat -c %s "$saved") bytes: $saved"
        findings+=("$saved")
    done
    line=$(printf '%-14s %-8s executions %-10s coverage %-6s features %-6s corpus %s' \
        "$name" "$result" "${executions:-?}" "${coverage:-?}" "${features:-?}" "${units:-?}")
    echo "   $line (log: $log)"
    summary+=("$line")
done

echo
echo "Fuzzing, $seconds s a target:"
printf '  %s\n' "${summary[@]}"
if [ "${#findings[@]}" -gt 0 ]; then
    echo "Findings (replayed by the test suite from now on):"
    printf '  %s\n' "${findings[@]}"
    exit 1
fi
