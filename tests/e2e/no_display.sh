#!/usr/bin/env bash
# Without any display SBK3 says so in one line and ends with status 1, not with a core dump.
# Usage: no_display.sh SBK3
set -uo pipefail
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1)
rc=$?
printf '%s\n' "$out"
[ "$rc" -eq 1 ] || { echo "FAIL: exit status $rc"; exit 1; }
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || { echo "FAIL: more than one line"; exit 1; }
case $out in
"SBK3 needs a graphical session"*) echo "1 passed, 0 failed" ;;
*) echo "FAIL: not the message"; exit 1 ;;
esac
