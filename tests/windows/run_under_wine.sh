#!/usr/bin/env bash
# Runs a Windows test executable under wine in a fresh prefix inside the build folder, quietly.
# A wine that cannot start here is said in one line and skipped; failing tests fail.
# Usage: run_under_wine.sh TESTS.exe BUILD_FOLDER
set -uo pipefail
exe=$(readlink -f "$1")
build=$(readlink -f "$2")
command -v wine >/dev/null || { echo "skipped: wine is not installed"; exit 0; }
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
log=$build/windows-tests.log
wine "$exe" >"$log" 2>&1
status=$?
if ! grep -q '^\[==========\] .* ran\.' "$log"; then
    echo "skipped: wine cannot run Windows programs here (exit $status): $(tail -n 1 "$log")"
    exit 0
fi
grep -E '^\[  (FAILED|PASSED|SKIPPED) ' "$log"
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p' "$log")
failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:/\1/p' "$log")
echo "windows: ${passed:-0} passed, ${failed:-0} failed (under $(wine --version))"
[ "$status" -eq 0 ]
