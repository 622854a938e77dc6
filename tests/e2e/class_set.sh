#!/usr/bin/env bash
# A class set made with the real SBK3 through X input, as a teacher would: the context menu's
# "New Worksheets with Settings...", 3 versions of 20 two-digit additions without carrying and
# their keys after each, to the PDF stand-in; then the stored files and the pages are read back.
# Usage: class_set.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

. "$here/x11lib.sh"
under_xvfb "xdotool import pdftotext pdfinfo openbox" "$0" "$@"

work_folder_with_window_manager
rm -f "$OUT"/class-set-*.png "$OUT/class-set.log"

step "the main window: a title with (N) and a bottom line"
start_past_splash "$OUT/class-set.log"
type_into "$main" 212 18 "Sums (N)"
type_into "$main" 212 116 "Class 3"

step "the context menu opens the settings"
xdotool mousemove --window "$main" 300 225 click 3
sleep 0.5
keys Down Down Down Down Return
dialog=$(wait_windows "Worksheet Settings")
sleep 0.3
focus "$dialog"
keys Tab Tab # past the saved settings and Save As...

step "two-digit additions 10 to 44 without carrying, 20 problems, 3 versions, keys after each"
keys Tab Tab Tab Tab Down                  # Carrying / borrowing: Never
keys Tab Tab Tab ctrl+a && xdotool type 10 # past the decimals and the tabs: Addition's first number
keys Tab ctrl+a && xdotool type 44
keys Tab ctrl+a && xdotool type 10
keys Tab ctrl+a && xdotool type 44
for _ in $(seq 1 6); do keys Tab; done     # the sum, the form, the missing number, the filters
keys Tab ctrl+a && xdotool type 20         # Number of problems
keys Tab ctrl+a && xdotool type 3          # Versions
keys Tab Tab Down                          # Answer keys: After each worksheet
sleep 0.3
shot class-set-dialog
keys Return
box=$(wait_windows "New Worksheets with Settings")
sleep 0.3
shot class-set-done
focus "$box"
keys Return
wait_windows "New Worksheets with Settings" 0 >/dev/null

step "three stored worksheets of 20 additions, none carrying"
sheets=$(cd "$work" && ls | grep -E '^ADD020[0-9]{3}$' || true)
[ "$(printf '%s\n' "$sheets" | grep -c .)" -eq 3 ] || fail "expected 3 worksheets, found: $sheets"
for sheet in $sheets; do
    head -n 1 "$work/$sheet" | grep -q "^\"Sums $sheet\",\"$sheet\",20,\"forms 1\"" || fail "$sheet's header"
    sed -n 2p "$work/$sheet" | grep -q '^"page","easy",0,"normal",0,0,0,"title","","Class 3"' ||
        fail "$sheet's page line: $(sed -n 2p "$work/$sheet")"
    [ "$(problem_lines "$work/$sheet" | grep -c .)" -eq 20 ] || fail "$sheet has not 20 lines"
    problem_lines "$work/$sheet" | tr -d '\r"' | awk -F, -v s="$sheet" '
        $1 < 10 || $1 > 44 || $2 < 10 || $2 > 44 || $3 != "+" { print "out of range in " s ": " $0; bad = 1 }
        ($1 % 10) + ($2 % 10) >= 10 || $1 + $2 >= 100 { print "carrying in " s ": " $0; bad = 1 }
        END { exit bad }' || fail "a problem breaks the settings"
done

step "one PDF of 6 pages: each sheet, then its key"
pdf=$(ls "$work"/*.pdf)
pdfinfo "$pdf" | grep -qE '^Pages: +6$' || fail "not 6 pages: $(pdfinfo "$pdf" | grep Pages)"
for page in 1 3 5; do
    pdftotext -f $page -l $page "$pdf" - | grep -q "Answer Key" && fail "page $page is a key"
    pdftotext -f $((page + 1)) -l $((page + 1)) "$pdf" - | grep -q "Answer Key" ||
        fail "page $((page + 1)) is no key"
done
click_in "$main" 264 240
process_gone "$pid" || fail "SBK3 still running after Exit"
pid=""
no_sanitizer_reports "$OUT/class-set.log"
echo "1 passed, 0 failed"
