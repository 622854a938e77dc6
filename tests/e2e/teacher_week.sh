#!/usr/bin/env bash
# A teacher's week with the real SBK3 through X input, by keyboard: a Year 1 class set in Extra
# large print with problem numbers, Name/Date/Score and instructions, its settings saved as
# "Year 1"; the program started again with --settings, "Year 1" chosen and the set made again;
# then SBK3 --library: a version found by its number and printed again, its page compared by
# rendering with the page first printed, and the version moved to the trash with its PDF.
# Usage: teacher_week.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

. "$here/x11lib.sh"
under_xvfb "xdotool import pdftotext pdfinfo pdftoppm compare openbox" "$0" "$@"

work_folder_with_window_manager
rm -f "$OUT"/week-*.png "$OUT/week.log"
export HOME="$work.home" XDG_DATA_HOME="$work.home/.local/share"
mkdir -p "$HOME"
trap 'kill "$pid" "$wm" 2>/dev/null; rm -rf "$work" "$work.config" "$work.home"' EXIT

# The settings line and the page line of a stored worksheet.
made_with() {
    grep -a -E '^"(page|settings)",' "$1" | tr -d '\r'
}

step "Year 1: additions to 10 in Extra large, numbered, with a header and instructions"
start_past_splash "$OUT/week.log" --settings
dialog=$(wait_windows "Worksheet Settings")
sleep 0.3
focus "$dialog"
keys Tab Tab Tab Tab Tab Tab Tab Tab # past the saved settings, the operations, carrying, places, tabs
keys Tab ctrl+a && xdotool type 1 # the Addition tab's first numbers: 1 to 10
keys Tab ctrl+a && xdotool type 10
keys Tab ctrl+a && xdotool type 1
keys Tab ctrl+a && xdotool type 10
keys shift+Tab shift+Tab shift+Tab shift+Tab # back to the tabs
keys Right Right Right Right                           # the Page tab
keys Tab ctrl+a && xdotool type "Year 1 Sums"
keys Tab Tab Tab                # layout, Bold, bottom line
keys Tab Down Down              # Print size: Extra large
keys Tab Tab space Tab space    # numbered, Name/Date/Score
keys Tab && xdotool type "Add the two numbers."
keys Tab Down                   # the worksheet number small, in a corner
keys Tab Tab Tab                # the missing number and the two filters
keys Tab ctrl+a && xdotool type 12
keys Tab ctrl+a && xdotool type 3
keys Tab Tab Down               # answer keys after each
sleep 0.3
shot week-dialog
keys alt+s
name=$(wait_windows "Worksheet Settings" 2)
focus "$name"
xdotool type --delay 20 "Year 1"
keys Return
wait_windows "Worksheet Settings" 1 >/dev/null
[ -f "$work/Presets/Year 1.preset" ] || fail "no preset file: $(ls -R "$work")"
focus "$dialog"
keys Return
box=$(wait_windows "New Worksheets with Settings")
sleep 0.3
focus "$box"
keys Return
wait_windows "New Worksheets with Settings" 0 >/dev/null
first=$(cd "$work" && ls | grep -E '^ADD012[0-9]{3}$' || true)
[ "$(printf '%s\n' "$first" | grep -c .)" -eq 3 ] || fail "expected 3 worksheets, found: $first"
firstPdf=$(ls "$work"/*.pdf)
cp "$firstPdf" "$OUT/week-first-set.pdf"
pdfinfo "$firstPdf" | grep -qE '^Pages: +6$' || fail "not 6 pages"
pdftotext -f 1 -l 1 "$firstPdf" - | grep -q "Add the two numbers." || fail "no instructions"
pdftotext -f 1 -l 1 "$firstPdf" - | grep -q "Score: ____ / 12" || fail "no score line"
key1=$(head -n 1 "$work/$(printf '%s\n' $first | head -n 1)" | tr -d '\r')
keep=$(made_with "$work/$(printf '%s\n' $first | head -n 1)")
printf '%s\n' "$keep" | grep -q '^"page","easy",0,"extra large",0,1,1,"corner","Add the two numbers.",""$' ||
    fail "page line: $keep"
rm "$firstPdf"

step "started again: the saved settings chosen make the same set"
click_in "$main" 264 240
process_gone "$pid" || fail "SBK3 still running after Exit"
SBK3_RESTART=1 start_past_splash "$OUT/week.log" --settings
dialog=$(wait_windows "Worksheet Settings")
sleep 0.3
focus "$dialog"
keys Down # the first saved settings: "Year 1"
sleep 0.3
shot week-preset
keys Return
box=$(wait_windows "New Worksheets with Settings")
focus "$box"
keys Return
wait_windows "New Worksheets with Settings" 0 >/dev/null
second=$(cd "$work" && ls | grep -E '^ADD012[0-9]{3}$' | grep -vxF "$first" || true)
[ "$(printf '%s\n' "$second" | grep -c .)" -eq 3 ] || fail "expected 3 more, found: $second"
for sheet in $second; do
    [ "$(made_with "$work/$sheet")" = "$keep" ] || fail "$sheet made otherwise: $(made_with "$work/$sheet")"
done
click_in "$main" 264 240
process_gone "$pid" || fail "SBK3 still running after Exit"

step "SBK3 --library: the sets as two rows; a version found, printed again as first printed"
SBK3_RESTART=1 start_past_splash "$OUT/week.log" --library
library=$(wait_windows "Worksheet Library")
sleep 1
focus "$library"
keys Tab Right # the newest set opened into its versions
sleep 0.5
shot week-library
keys shift+Tab
number=$(head -n 1 "$work/$(printf '%s\n' $first | head -n 1)" | cut -d, -f2 | tr -d '"')
xdotool type --delay 30 "$number"
sleep 0.8
shot week-found
keys Return
expect_box "Sumbrook 3" week-reprinted
[ -f "$work/$number.pdf" ] || fail "nothing printed: $(ls "$work")"
place=$(grep -a "^\"set\"," "$work/$number" | cut -d, -f3)
page=$((place * 2 - 1)) # each sheet, then its key
pdftoppm -r 40 -f "$page" -l "$page" -png "$OUT/week-first-set.pdf" "$OUT/week-first"
pdftoppm -r 40 -f 1 -l 1 -png "$work/$number.pdf" "$OUT/week-again"
differ=$(compare -metric AE "$OUT"/week-first-*.png "$OUT"/week-again-*.png null: 2>&1 || true)
[ "$differ" = "0" ] || fail "the reprint differs from the page first printed in $differ pixels"

step "Delete moves the version and its PDF to the trash"
focus "$library"
keys Tab Delete
box=$(wait_windows "Worksheet Library" 2)
sleep 0.3
shot week-trash
focus "$box"
keys Return
for _ in $(seq 1 50); do [ -f "$work/$number" ] || break; sleep 0.1; done
[ ! -e "$work/$number" ] && [ ! -e "$work/$number.pdf" ] || fail "left behind: $(ls "$work")"
[ -f "$XDG_DATA_HOME/Trash/files/$number.pdf" ] || fail "its PDF is not in the trash"
kill "$pid" 2>/dev/null || true
no_sanitizer_reports "$OUT/week.log"
echo "1 passed, 0 failed"
