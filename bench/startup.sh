#!/usr/bin/env bash
# Start-up, first click and first page as a person meets them, each beside its floor, in
# interleaved rounds under Xvfb; the figures come from X events (bench/startup_probe.cpp), not
# from polling. Usage: startup.sh BUILD_FOLDER [ROUNDS]
set -euo pipefail
build=$(readlink -f "$1")
rounds=${2:-10}
if [ -z "${SBK3_UNDER_XVFB:-}" ]; then
    exec env -u QT_QPA_PLATFORM SBK3_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/SBK3" "$work/SBK3"
probe=$build/bench/sbk3_startup_probe
floor=$build/bench/sbk3_floor_window
firsts=$build/bench/sbk3_firsts
results=$work/results
# Each line of a tool's output is name=value pairs; they are kept as "figure name value".
keep() {
    local figure=$1
    shift
    "$@" 2>/dev/null | tr ' ' '\n' | grep '=' | sed "s/^/$figure /; s/=/ /" >>"$results" || true
}
seconds() { # whole-process wall time in ms
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$((end - start))" | awk '{ printf "%.1f", $1 / 1e6 }'
}
for round in $(seq 1 "$rounds"); do
    keep bare "$probe" --rss -- "$floor" bare
    keep text "$probe" --rss -- "$floor" text
    keep sbk3 "$probe" --click --rss -- "$work/SBK3"
    keep built "$probe" --click -- "$floor" main
    keep sbk3_person "$probe" --click-after 250 -- "$work/SBK3"
    keep built_person "$probe" --click-after 250 -- "$floor" main
    mkdir -p "$work/f"
    keep cold "$firsts" clicks "$work/f"
    keep cold "$firsts" pdf "$work/f"
    keep warm "$firsts" clicks "$work/f" warm
    keep warm "$firsts" pdf "$work/f" warm
    keep floor "$firsts" barepdf "$work/f"
    rm -rf "$work/f"
    mkdir -p "$work/m"
    echo "whole make300_ms $(cd "$work/m" && seconds env QT_QPA_PLATFORM=offscreen "$firsts" make300 "$work/m")" >>"$results"
    echo "whole reportlab_ms $(seconds python3 "$here/reportlab_page.py" "$work/m/reportlab.pdf")" >>"$results"
    rm -rf "$work/m"
done
python3 "$here/summarize.py" "$results" "$rounds"
