#!/usr/bin/env bash
# versions.sh VERSION PROGRAM...: each program's --version is "NAME VERSION", exit 0.
set -uo pipefail
version=$1
shift
status=0
for program in "$@"; do
    expected="$(basename "$program") $version"
    got=$("$program" --version 2>&1)
    code=$?
    if [ "$code" -ne 0 ] || [ "$got" != "$expected" ]; then
        echo "$program --version: \"$got\" (exit $code), expected \"$expected\" (exit 0)"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "$# programs show version $version"
exit "$status"
