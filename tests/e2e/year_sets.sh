#!/usr/bin/env bash
# A week's class sets for three year groups, made with the real SBK3 through X input only, as a
# teacher would: each 4 versions with a key after each, to the PDF stand-in. Year 3: three-digit
# addition and subtraction, always regrouping, as number sentences. Year 5: decimals to two
# places, two-digit by two-digit columns, four-digit long division with remainders. Year 1:
# missing numbers within 20. Every stored problem's answer is worked out here again and found on
# its key; one page of each set and its key is kept as a picture.
# Usage: year_sets.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

. "$here/x11lib.sh"
under_xvfb "xdotool import pdftotext pdfinfo pdftoppm openbox awk" "$0" "$@"

work_folder_with_window_manager
rm -f "$OUT"/year-*.png "$OUT/year-sets.log"

tabs() { for _ in $(seq 1 "$1"); do keys Tab; done; }
back() { for _ in $(seq 1 "$1"); do keys shift+Tab; done; }
typed() { keys ctrl+a && xdotool type --delay 15 "$1"; }

# Opens "Worksheet Settings" from the context menu of a program started afresh, so that the
# dialog holds what it opens with: the window's type, Addition. The focus then is on the Addition
# box.
open_settings() {
    if [ -n "$pid" ]; then
        click_in "$main" 264 240
        process_gone "$pid" || fail "SBK3 still running after Exit"
    fi
    start_past_splash "$OUT/year-sets.log"
    xdotool mousemove --window "$main" 300 225 click 3
    sleep 0.5
    keys Down Down Down Down Return
    dialog=$(wait_windows "Worksheet Settings")
    sleep 0.3
    focus "$dialog"
    keys Tab Tab # past the saved settings and Save As...
}

# The rest of the dialog from the missing-number choice on: 20 problems, 4 versions, a key
# after each; OK; the report box closed. Then the set's PDF is renamed $1.pdf.
finish_set() {
    tabs 3 && typed 20 # past the two filters: Number of problems
    keys Tab && typed 4
    keys Tab Tab Down # Answer keys: After each worksheet
    sleep 0.3
    shot "$1-dialog"
    keys Return
    local box
    box=$(wait_windows "New Worksheets with Settings")
    sleep 0.3
    focus "$box"
    keys Return
    wait_windows "New Worksheets with Settings" 0 >/dev/null
    local pdf
    pdf=$(ls "$work"/*.pdf)
    mv "$pdf" "$OUT/$1.pdf"
    pdfinfo "$OUT/$1.pdf" | grep -qE '^Pages: +8$' || fail "$1: not 8 pages"
    pdftoppm -r 60 -png -f 1 -l 1 -singlefile "$OUT/$1.pdf" "$OUT/$1-sheet"
    pdftoppm -r 60 -png -f 2 -l 2 -singlefile "$OUT/$1.pdf" "$OUT/$1-key"
}

# The worksheets stored since the last set: exactly 4 of the stem $1, laid out, their page line and
# 20 problem lines each.
new_sheets() {
    local stem=$1 sheets
    sheets=$(cd "$work" && ls | grep -E "^${stem}[0-9]{3}$" || true)
    [ "$(printf '%s\n' "$sheets" | grep -c .)" -eq 4 ] || fail "expected 4 of $stem: $sheets"
    for sheet in $sheets; do
        head -n 1 "$work/$sheet" | grep -q ',20,"forms 1"' || fail "$sheet's header"
        [ "$(problem_lines "$work/$sheet" | grep -c .)" -eq 20 ] || fail "$sheet has not 20 lines"
        mv "$work/$sheet" "$OUT/$sheet"
    done
    printf '%s\n' $sheets
}

# Every problem of the sheets, its answer worked out anew, found on the set's key pages
# ($1.pdf, pages 2, 4, 6, 8) as the form prints it: "a + b = c" in a sentence or missing number,
# the quotient and "r N" over a long division, the answer alone under a column.
answers_on_keys() {
    local set=$1
    shift
    local keys_text
    keys_text=$(for page in 2 4 6 8; do pdftotext -f $page -l $page -layout "$OUT/$set.pdf" -; done)
    for sheet in "$@"; do
        problem_lines "$OUT/$sheet" | tr -d '\r"' | sed 's/\xf7/÷/' | while IFS=, read -r a b op form blank; do
            case $op in
            ÷) c="$((a / b))"
               [ $((a % b)) -ne 0 ] && c="$c r $((a % b))" ;;
            *) c=$(awk -v a="$a" -v b="$b" -v op="$op" 'BEGIN {
                   p = 0
                   if (index(a, ".")) p = length(a) - index(a, ".")
                   if (index(b, ".") && length(b) - index(b, ".") > p) p = length(b) - index(b, ".")
                   v = op == "+" ? a + b : op == "-" ? a - b : a * b
                   printf("%." p "f", v) }') ;;
            esac
            case $form in
            sentence | missing) want="$a $op $b = $c" ;;
            *) want="$c" ;;
            esac
            grep -qF -- "$want" <<<"$keys_text" || fail "$set: $a $op $b ($form): '$want' not on a key"
        done
    done
}

step "Year 3: three-digit addition and subtraction, always regrouping, number sentences"
open_settings
keys Tab space                # Subtraction
tabs 3 && keys Down Down      # Carrying / borrowing: Always
tabs 2                        # past the decimals: the tabs, on Addition
keys Tab && typed 100
keys Tab && typed 999
keys Tab && typed 100
keys Tab && typed 999
tabs 3 && keys Down           # past the sums: Number sentence
back 7 && keys Right          # the Subtraction tab
keys Tab && typed 100
keys Tab && typed 999
keys Tab && typed 100
keys Tab && typed 999
tabs 3 && keys Down           # past the differences: Number sentence
keys Tab
finish_set year-3
sheets=$(new_sheets MIX020)
for sheet in $sheets; do
    problem_lines "$OUT/$sheet" | tr -d '\r"' | awk -F, -v s="$sheet" '
        $1 < 100 || $1 > 999 || $2 < 100 || $2 > 999 || $4 != "sentence" { print s ": " $0; bad = 1 }
        $3 == "-" && $1 < $2 { print "below zero in " s ": " $0; bad = 1 }
        END { exit bad }' || fail "a Year 3 problem breaks the settings"
done
answers_on_keys year-3 $sheets

step "Year 5: decimals to 2 places, 2-digit by 2-digit, 4-digit long division with remainders"
open_settings
keys Tab Tab space            # Multiplication
keys Tab space                # Division
keys Tab Tab Down Down        # Decimal places: 2
keys Tab Right Right          # the Multiplication tab
keys Tab space                # the second factor from its range, not the tables
keys Tab && typed 10          # the tables now take no input
keys Tab && typed 99
keys Tab && typed 10
keys Tab && typed 99
tabs 2                        # past the first factor's decimals: the form stays Column
back 7 && keys Right          # the Division tab
keys Tab Tab space            # divisor 1 left out: 2 to 9
tabs 13 && typed 9999         # past the divisors: the largest quotient
keys Tab && typed 1000
keys Tab && typed 9999
keys Tab Down Down            # Remainders: Always
keys Tab Down Down Down       # Long division
keys Tab
finish_set year-5
sheets=$(new_sheets MIX020)
for sheet in $sheets; do
    problem_lines "$OUT/$sheet" | tr -d '\r"' | sed 's/\xf7/d/' | awk -F, -v s="$sheet" '
        $3 == "+" && ($1 !~ /^[0-9]+\.[0-9][0-9]$/ || $2 !~ /^[0-9]+\.[0-9][0-9]$/) { print s ": " $0; bad = 1 }
        $3 == "x" && ($1 < 10 || $1 > 99 || $2 < 10 || $2 > 99) { print s ": " $0; bad = 1 }
        $3 == "d" && ($1 < 1000 || $1 > 9999 || $2 < 2 || $2 > 9 || $1 % $2 == 0 || $4 != "long") { print s ": " $0; bad = 1 }
        END { exit bad }' || fail "a Year 5 problem breaks the settings"
done
answers_on_keys year-5 $sheets

step "Year 1: missing numbers within 20, sums at most 20"
open_settings
keys Tab space                # Subtraction
tabs 5                        # the tabs, on Addition
keys Tab && typed 0
keys Tab && typed 20
keys Tab && typed 0
keys Tab && typed 20
keys Tab && typed 0
keys Tab && typed 20          # the largest sum
keys Tab Down Down            # Missing number
back 7 && keys Right          # the Subtraction tab
keys Tab && typed 0
keys Tab && typed 20
keys Tab && typed 0
keys Tab && typed 20
tabs 3 && keys Down Down      # Missing number
keys Tab
finish_set year-1
sheets=$(new_sheets MIX020)
for sheet in $sheets; do
    problem_lines "$OUT/$sheet" | tr -d '\r"' | awk -F, -v s="$sheet" '
        $4 != "missing" || $5 !~ /^(first|second|answer)$/ { print s ": " $0; bad = 1 }
        $3 == "+" && $1 + $2 > 20 { print "sum over 20 in " s ": " $0; bad = 1 }
        $3 == "-" && ($1 > 20 || $1 < $2) { print s ": " $0; bad = 1 }
        END { exit bad }' || fail "a Year 1 problem breaks the settings"
    pdftotext -f 1 -l 1 "$OUT/year-1.pdf" - | grep -q "____" || fail "no blank on a Year 1 sheet"
done
answers_on_keys year-1 $sheets

click_in "$main" 264 240
process_gone "$pid" || fail "SBK3 still running after Exit"
pid=""
no_sanitizer_reports "$OUT/year-sets.log"
echo "1 passed, 0 failed"
