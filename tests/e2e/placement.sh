#!/usr/bin/env bash
# Boxes of the real SBK3 open over their window under an X window manager: with the main window
# moved to the bottom right of a 1366 x 768 screen, the Print Saved box (before and after its list
# appears) and the message box that follows it. Usage: placement.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

. "$here/x11lib.sh"
SBK3_SCREEN=1366x768 under_xvfb "xdotool import openbox" "$0" "$@"

work_folder_with_window_manager
rm -f "$OUT"/placement-*.png "$OUT/placement.log"
printf '"Sums","ADD002100",2\r\n1,2,"+"\r\n3,4,"+"\r\n' >"$work/ADD002100"

# "X Y W H" of window $1, its content as the window manager placed it.
geometry() {
    xdotool getwindowgeometry "$1" |
        sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p; s/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p' |
        tr '\n' ' '
    echo
}

# Window $1's middle is within a few pixels of the main window's, and all of it on the screen.
expect_over_main() {
    local x y w h
    read -r x y w h < <(geometry "$1")
    [ $((2 * x + w - 2 * main_x - main_w)) -ge -4 ] && [ $((2 * x + w - 2 * main_x - main_w)) -le 4 ] &&
        [ $((2 * y + h - 2 * main_y - main_h)) -ge -50 ] && [ $((2 * y + h - 2 * main_y - main_h)) -le 4 ] ||
        fail "$2 is at $x,$y (${w}x$h), not over the main window at $main_x,$main_y (${main_w}x$main_h)"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1366 ] && [ $((y + h)) -le 768 ] ||
        fail "$2 is at $x,$y (${w}x$h), partly off the screen"
}

start_past_splash "$OUT/placement.log"
xdotool windowmove --sync "$main" 900 450
sleep 0.3
read -r main_x main_y main_w main_h < <(geometry "$main")

step "Print Saved opens over the moved main window, and stays there as its list appears"
click_in "$main" 180 190
box=$(wait_windows "Print Saved")
sleep 0.3
expect_over_main "$box" "Print Saved"
xdotool type --delay 30 ADD
sleep 0.8
expect_over_main "$box" "Print Saved with its list"
shot placement-print-saved

step "the message box for a number that is none opens over it too"
keys ctrl+a
xdotool type --delay 15 ZZZ999999
keys Return
message=$(wait_windows "No Serial")
sleep 0.3
expect_over_main "$message" "No Serial"
keys Return
wait_windows "No Serial" 0 >/dev/null
kill "$pid"
process_gone "$pid" || fail "SBK3 still running"
pid=""
no_sanitizer_reports "$OUT/placement.log"
echo "1 passed, 0 failed"
