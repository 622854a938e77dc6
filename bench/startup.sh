#!/usr/bin/env bash
# Start-up from outside: the time from starting SBK3 to its splash being on screen and painted,
# and resident memory once the main window is shown. Usage: startup.sh SBK3 [RUNS]
set -euo pipefail
exe=$(readlink -f "$1")
runs=${2:-10}
if [ -z "${SBK3_UNDER_XVFB:-}" ]; then
    exec env -u QT_QPA_PLATFORM SBK3_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
. "$(dirname "$(readlink -f "$0")")/../tests/e2e/x11lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/SBK3"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# The splash is painted once its outermost corner is black; a mapped window not yet painted
# shows the X background.
painted() {
    local id
    id=$(xdotool search --onlyvisible --name '^Splash$' 2>/dev/null | head -n 1) || return 1
    [ -n "$id" ] || return 1
    [ "$(import -window "$id" -crop 1x1+0+0 -depth 8 txt:- 2>/dev/null | grep -c '#000000')" -eq 1 ]
}

times=()
rss=()
failed=0
for run in $(seq 1 "$runs"); do
    while :; do
        start=$(now_ms)
        (cd "$work" && exec ./SBK3 >>"$work/log" 2>&1) &
        pid=$!
        until painted || ! kill -0 "$pid" 2>/dev/null; do sleep 0.002; done
        kill -0 "$pid" 2>/dev/null && break
        # Now and then the server refuses a client right after the last one went away.
        failed=$((failed + 1))
        [ "$failed" -le 5 ] || { cat "$work/log" >&2; exit 1; }
        sleep 0.5
    done
    times+=($(( $(now_ms) - start )))
    splash=$(xdotool search --onlyvisible --name '^Splash$' | head -n 1)
    xdotool mousemove --window "$splash" 100 100 click 1
    wait_windows "Sumbrook 3" >/dev/null
    sleep 0.5
    rss+=($(awk '/VmRSS/ { print $2 }' "/proc/$pid/status"))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    sleep 0.3
done
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
echo "splash painted after start (ms), $runs runs: median $(median "${times[@]}"), all: ${times[*]}"
[ "$failed" -eq 0 ] || echo "($failed start(s) refused by the X server and repeated)"
echo "resident memory with the main window shown (MB): median $(( $(median "${rss[@]}") / 1024 )), all kB: ${rss[*]}"
