#!/usr/bin/env bash
# Start-up, first click and first page as a person meets them, each beside its floor, in
# interleaved rounds on a virtual display of its own; the figures come from X events
# (bench/startup_probe.cpp), not from polling. Usage: startup.sh BUILD_FOLDER [ROUNDS]
#
# A busy machine must not stall it: every program runs in a session of its own with a time
# limit, and that session is ended afterwards with everything it started, so a probe that gives
# up or a window left open cannot hold the run. A program that runs out of time costs its round
# that figure, reported as lost. No new round starts after SBK3_BENCH_BUDGET seconds (240).
# Ctrl+C or SIGTERM ends everything it started. Exit status 1 only when SBK3 itself crashed or
# never painted its splash.
set -uo pipefail
build=$(readlink -f "$1")
rounds=${2:-10}
budget=${SBK3_BENCH_BUDGET:-240}
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
server=""
session=""

cleanup() {
    [ -n "$session" ] && kill -KILL -- "-$session" 2>/dev/null
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "start-up benchmark stopped" >&2; exit 130' INT
trap 'echo "start-up benchmark stopped" >&2; exit 143' TERM

# A display of our own, in a session of its own so that a Ctrl+C reaches it only through
# cleanup; Xvfb writes its number once it accepts clients.
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
server=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

cp "$build/SBK3" "$work/SBK3"
probe=$build/bench/sbk3_startup_probe
floor=$build/bench/sbk3_floor_window
firsts=$build/bench/sbk3_firsts
results=$work/results
: >"$results"
sbk3_failed=""

# bounded LIMIT OUT COMMAND...: runs COMMAND in a session of its own, its output into the file
# OUT (a file, not a pipe: nothing left running can hold a reader), for at most LIMIT seconds,
# then ends whatever is left of that session. Returns COMMAND's status, 124 when out of time.
bounded() {
    local limit=$1 out=$2 status
    shift 2
    setsid timeout -k 2 "$limit" "$@" >"$out" 2>/dev/null </dev/null &
    session=$!
    wait "$session"
    status=$?
    kill -KILL -- "-$session" 2>/dev/null
    session=""
    return "$status"
}

# keep FIGURE LIMIT COMMAND...: each name=value pair COMMAND prints is kept as "FIGURE name
# value"; a command that fails or runs out of time is kept as "lost FIGURE why".
keep() {
    local figure=$1 limit=$2 status
    shift 2
    bounded "$limit" "$work/out" "$@"
    status=$?
    tr ' ' '\n' <"$work/out" | grep '=' | sed "s/^/$figure /; s/=/ /" >>"$results"
    case $status in
    0) ;;
    124 | 137) echo "lost $figure out_of_time" >>"$results" ;;
    *) echo "lost $figure status_$status" >>"$results" ;;
    esac
    case " $* " in
    *" $work/SBK3 "*) grep -q ended_ "$work/out" &&
        sbk3_failed="SBK3 ended on its own in a '$figure' round: $(tr '\n' ' ' <"$work/out")" ;;
    esac
    return 0
}

# whole FIGURE COMMAND...: the whole process's wall time in ms.
whole() {
    local figure=$1 start end
    shift
    start=$(date +%s%N)
    if bounded 120 /dev/null "$@"; then
        end=$(date +%s%N)
        awk -v f="$figure" -v ns="$((end - start))" 'BEGIN { printf "whole %s %.1f\n", f, ns / 1e6 }' >>"$results"
    else
        echo "lost whole_$figure out_of_time_or_failed" >>"$results"
    fi
}

began=$(date +%s)
done_rounds=0
for round in $(seq 1 "$rounds"); do
    if [ "$round" -gt 1 ] && [ $(($(date +%s) - began)) -ge "$budget" ]; then
        echo "time budget of $budget s spent: $done_rounds of $rounds rounds run" >&2
        break
    fi
    keep bare 40 "$probe" --rss -- "$floor" bare
    keep text 40 "$probe" --rss -- "$floor" text
    keep sbk3 40 "$probe" --click --rss -- "$work/SBK3"
    keep built 40 "$probe" --click -- "$floor" main
    keep sbk3_person 40 "$probe" --click-after 250 -- "$work/SBK3"
    keep built_person 40 "$probe" --click-after 250 -- "$floor" main
    mkdir -p "$work/f"
    keep cold 60 "$firsts" clicks "$work/f"
    keep cold 60 "$firsts" pdf "$work/f"
    keep warm 60 "$firsts" clicks "$work/f" warm
    keep warm 60 "$firsts" pdf "$work/f" warm
    keep floor 60 "$firsts" barepdf "$work/f"
    keep set 120 "$firsts" classset "$work/f"
    keep forms 60 "$firsts" forms "$work/f"
    keep forms 120 "$firsts" formset "$work/f"
    rm -rf "$work/f"
    mkdir -p "$work/m"
    whole make300_ms env -C "$work/m" QT_QPA_PLATFORM=offscreen "$firsts" make300 "$work/m"
    # Debian's own python3, where the package python3-reportlab puts its module.
    whole reportlab_ms /usr/bin/python3 "$here/reportlab_page.py" "$work/m/reportlab.pdf"
    rm -rf "$work/m"
    done_rounds=$round
done
python3 "$here/summarize.py" "$results" "$done_rounds"
if ! grep -q '^sbk3 splash_ms [0-9]' "$results"; then
    echo "SBK3 never painted its splash" >&2
    exit 1
fi
if [ -n "$sbk3_failed" ]; then
    echo "$sbk3_failed" >&2
    exit 1
fi
exit 0
