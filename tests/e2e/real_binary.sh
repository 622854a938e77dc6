#!/usr/bin/env bash
# Drives the real SBK3 in a real X server through X input only, as a person would:
# splash, the request, Print/Save with its question, Print Saved with a typed number, the
# refusals, Exit and the close box. Usage: real_binary.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

. "$here/x11lib.sh"
under_xvfb "xdotool import pdftotext" "$0" "$@"

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp "$exe" "$work/SBK3"
rm -f "$OUT"/*.png "$OUT"/*.pdf "$OUT/sbk3.log"

# Starts the program; sets pid and splash.
start_program() {
    (cd "$work" && exec ./SBK3 >>"$OUT/sbk3.log" 2>&1) &
    pid=$!
    splash=$(wait_windows "Splash")
    sleep 0.3
}

step "splash: keys do nothing, a shifted right click opens the main window"
start_program
shot splash
focus "$splash"
keys Return space a
sleep 0.2
wait_windows "Splash" >/dev/null
xdotool mousemove --window "$splash" 160 120 keydown shift click 3 keyup shift
W=$(wait_windows "Sumbrook 3")
[ -z "$(windows_named Splash)" ] || fail "splash still shown"
focus "$W"
sleep 0.3
shot main

# Centres of the controls, in pixels (twips / 15).
TITLE="200 15"; COUNT="220 83"; APPEND="210 115"; EASY="60 148"; COMPACT="232 148"
PRINT="56 192"; SAVED="160 192"; BOLD="264 192"; EXIT="264 240"

step "refusals of the request"
type_into "$W" $COUNT ""
click_in "$W" $PRINT
expect_box "Sumbrook 3" box-empty-count
type_into "$W" $COUNT "81"
click_in "$W" $PRINT
expect_box "Sumbrook 3" box-81-easy
click_in "$W" $COMPACT
type_into "$W" $COUNT "301"
click_in "$W" $PRINT
expect_box "Sumbrook 3" box-301-compact
[ -z "$(ls "$work" | grep -v '^SBK3$')" ] || fail "a refused request wrote a file"

step "a Mixed worksheet of 12, Easy Reading, bold, set from the keyboard"
type_into "$W" $TITLE "Road test (N)"
keys Tab Home Down Down Down Down         # cboType: Mixed
keys Tab ctrl+a BackSpace 1 2             # count
keys Tab
xdotool type --delay 15 "Room 7, well done"                     # bottom line
keys Tab Left                             # Compact -> Easy
keys Tab Tab Tab space                    # Bold on
keys shift+Tab shift+Tab space            # Print/Save
question=$(wait_windows "Sumbrook 3" 2)
sleep 0.2
shot box-question
focus "$question"
keys Return                        # Yes
expect_box "Sumbrook 3" box-printed-to-file

number=$(ls "$work" | grep -E '^MIX012[0-9]{3}$' || true)
[ -n "$number" ] || fail "no worksheet file: $(ls "$work")"
header=$(head -n 1 "$work/$number")
[ "$header" = "\"Road test $number\",\"$number\",12"$'\r' ] || fail "header: $header"
[ "$(wc -l < "$work/$number")" -eq 13 ] || fail "line count"
[ "$(grep -c $'\r$' "$work/$number")" -eq 13 ] || fail "CR LF line ends"
text=$(pdftotext -layout "$work/$number.pdf" -)
grep -q "Road test $number" <<<"$text" || fail "title not on the page"
grep -q "Room 7, well done" <<<"$text" || fail "bottom line not on the page"
pdffonts "$work/$number.pdf" | grep -q "Mono-Bold" || fail "problems not bold"

step "Print Saved with the typed number, Compact, regular, another bottom line"
click_in "$W" $COMPACT
click_in "$W" $BOLD
type_into "$W" $APPEND "Second copy"
click_in "$W" $SAVED
input=$(wait_windows "Print Saved")
sleep 0.2
shot box-input
focus "$input"
xdotool type --delay 15 "$number"
keys Return
expect_box "Sumbrook 3" box-printed-again
text=$(pdftotext -layout "$work/$number.pdf" -)
grep -q "Second copy" <<<"$text" || fail "reprint lacks the new bottom line"
! pdffonts "$work/$number.pdf" | grep -q "Mono-Bold" || fail "reprint still bold"
pdftoppm -r 60 -png -singlefile "$work/$number.pdf" "$OUT/page-compact"

step "Print Saved refusals: a number that does not exist, 81 problems in Easy Reading"
click_in "$W" $SAVED
input=$(wait_windows "Print Saved")
focus "$input"
xdotool type --delay 15 "ADD999999"
keys Return
expect_box "No Serial" box-no-serial

type_into "$W" $COUNT "81"
click_in "$W" $PRINT
question=$(wait_windows "Sumbrook 3" 2)
focus "$question"
keys Escape                        # No
wait_windows "Sumbrook 3" 1 >/dev/null
big=$(ls "$work" | grep -E '^MIX081[0-9]{3}$' || true)
[ -n "$big" ] || fail "81-problem worksheet not saved"
[ ! -e "$work/$big.pdf" ] || fail "No printed anyway"
click_in "$W" $EASY
click_in "$W" $SAVED
input=$(wait_windows "Print Saved")
focus "$input"
xdotool type --delay 15 "$big"
keys Return
expect_box "Worksheet Can Not Be Processed" box-81-in-easy
[ ! -e "$work/$big.pdf" ] || fail "81 problems printed in Easy Reading"

step "Exit ends the program"
click_in "$W" $EXIT
process_gone "$pid" || fail "SBK3 still running after Exit"
pid=""

step "the close box ends the program (under a window manager)"
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 0.5
    start_program
    xdotool mousemove --window "$splash" 100 100 click 1
    W=$(wait_windows "Sumbrook 3")
    sleep 0.3
    wmctrl -c "Sumbrook 3" 2>/dev/null || keys alt+F4
    process_gone "$pid" || fail "SBK3 still running after its window was closed"
    pid=""
    kill "$wm" 2>/dev/null || true
else
    echo "openbox not installed: close box not exercised"
fi
no_sanitizer_reports "$OUT/sbk3.log"
echo "1 passed, 0 failed"
