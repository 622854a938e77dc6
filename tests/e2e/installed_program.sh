#!/usr/bin/env bash
# Checks an installed SBK3 (from the .deb) as a user meets it: it starts from the menu's
# command, stores a new worksheet in the per-user folder, not beside the program, and prints
# it again from there. Usage: installed_program.sh OUTPUT_FOLDER [SBK3]
set -euo pipefail
OUT=$(mkdir -p "$1" && readlink -f "$1")
exe=${2:-$(command -v SBK3 || true)}
here=$(dirname "$(readlink -f "$0")")
[ -x "$exe" ] || { echo "skipped: SBK3 is not installed"; exit 77; }

. "$here/x11lib.sh"
under_xvfb "" "$0" "$@"

export HOME=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$HOME"
}
trap cleanup EXIT
store="$HOME/.local/share/SBK3"
before=$(ls "$(dirname "$exe")" | wc -l)

"$exe" >>"$OUT/installed.log" 2>&1 &
pid=$!
splash=$(wait_windows "Splash")
xdotool mousemove --window "$splash" 100 100 click 1
W=$(wait_windows "Sumbrook 3")
focus "$W"

step "Print/Save with the defaults, answered Yes"
click_in "$W" 56 192
question=$(wait_windows "Sumbrook 3" 2)
focus "$question"
keys Return
expect_box "Sumbrook 3" installed-printed
number=$(ls "$store" | grep -E '^ADD030[0-9]{3}$' || true)
[ -n "$number" ] || fail "no worksheet in $store: $(ls -a "$store" 2>&1)"
[ -f "$store/$number.pdf" ] || fail "no PDF beside it"
[ "$(ls "$(dirname "$exe")" | wc -l)" -eq "$before" ] || fail "something was written beside the program"

step "Print Saved of $number"
rm "$store/$number.pdf"
click_in "$W" 160 192
input=$(wait_windows "Print Saved")
focus "$input"
xdotool type --delay 15 "$number"
keys Return
expect_box "Sumbrook 3" installed-printed-again
pdftotext "$store/$number.pdf" - | grep -q "Math Worksheet - $number" || fail "reprint lacks the title"
click_in "$W" 264 240
process_gone "$pid" || fail "still running after Exit"
pid=""
echo "worksheet $number stored in $store and printed twice"
echo "1 passed, 0 failed"
