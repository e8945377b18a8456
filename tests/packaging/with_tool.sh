#!/usr/bin/env bash
# Runs a distribution's checking tool; a tool that is not installed skips the test (77)
# with a line that says so, rather than failing it.
tool=$1
if ! command -v "$tool" >/dev/null; then
    echo "$tool nie jest zainstalowany: test pominięty (instaluje go bash scripts/setup.sh)"
    exit 77
fi
exec "$@"
