#!/usr/bin/env bash
# The worksheet library with the real SBK3 through X input, as a teacher would use it: opened
# from the context menu over a folder of worksheets and things that are none, "238" typed, the
# one match printed with Return (to the PDF stand-in), then a title searched and its answer key
# previewed. Usage: library.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

. "$here/x11lib.sh"
under_xvfb "xdotool import pdftotext openbox" "$0" "$@"

work_folder_with_window_manager
rm -f "$OUT"/library-*.png "$OUT/library.log"

# NUMBER TITLE DAYS_OLD OPERATOR: a stored worksheet of the number's count of problems.
sheet() {
    local count=$((10#${1:3:3})) k
    {
        printf '"%s","%s",%d\r\n' "$2" "$1" "$count"
        for ((k = 0; k < count; k++)); do printf '%d,%d,"%s"\r\n' $((11 + k * 7 % 80)) $((1 + k % 9)) "$4"; done
    } >"$work/$1"
    touch -d "$3 days ago" "$work/$1"
}
sheet ADD030238 "Addition Practice ADD030238" 0 +
sheet ADD030111 "Friday test ADD030111" 2 +
sheet SUB020555 "Take away (Class 3)" 5 -
sheet MUL040777 "Times tables MUL040777" 9 x
mkfifo "$work/ADD001999"
mkdir "$work/ADD001998"
ln -s ADD030238 "$work/ADD030239"
head -c 2000000 /dev/zero >"$work/ADD001997"

start_past_splash "$OUT/library.log"

step "the context menu opens the library, the search focused"
xdotool mousemove --window "$main" 300 225 click 3
sleep 0.5
keys Down Down Down Down Down Return
library=$(wait_windows "Worksheet Library")
sleep 1
shot library-all

step "238 leaves one worksheet; Return prints it"
xdotool type --delay 30 238
sleep 0.8
shot library-238
keys Return
expect_box "Sumbrook 3" library-printed
[ -f "$work/ADD030238.pdf" ] || fail "Return printed nothing: $(ls "$work")"
pdftotext "$work/ADD030238.pdf" - | grep -q "Addition Practice ADD030238" || fail "not its page"
[ "$(ls "$work" | grep -c '\.pdf$')" -eq 1 ] || fail "more than the one page printed"

step "a title found by two words, its answer key previewed"
focus "$library"
keys ctrl+a BackSpace
xdotool type --delay 30 "fri TEST"
sleep 0.3
keys alt+a
sleep 0.8
shot library-key
keys Escape
wait_windows "Worksheet Library" 0 >/dev/null
[ -z "$(ls "$work" | grep -v -E '^(SBK3|ADD030238\.pdf|ADD030238|ADD030111|SUB020555|MUL040777|ADD00199[789]|ADD030239)$')" ] ||
    fail "the library left files behind: $(ls "$work")"

click_in "$main" 264 240
process_gone "$pid" || fail "SBK3 still running after Exit"

step "SBK3 --library, as the launcher's action starts it: the library over the main window"
start_past_splash "$OUT/library.log" --library
library=$(wait_windows "Worksheet Library")
focus "$library"
keys Escape
wait_windows "Worksheet Library" 0 >/dev/null
click_in "$main" 264 240
process_gone "$pid" || fail "SBK3 still running after Exit"
pid=""
no_sanitizer_reports "$OUT/library.log"
echo "1 passed, 0 failed"
