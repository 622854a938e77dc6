#!/usr/bin/env bash
# Prints stored worksheets through the program's system-printer path: real CUPS queues with the
# cups-pdf backend as the default printer, the real SBK3 driven under Xvfb.
#  - Letter, no margins: an 80-problem Easy Reading page arrives with ink where the name line,
#    the title and the first and last problems belong.
#  - A4, and Letter with 1/4 in margins: a 300-problem Compact Test page arrives with all 20
#    columns inside the page, shrunk just enough, and the bottom line below the last row.
#  - A queue that rejects jobs: a box, and no job. A paused queue: a box, and the job is held;
#    paused while the page is made: reported as held all the same.
# Skipped (77) where cupsd cannot be started.
# Usage: cups_print.sh SBK3 OUTPUT_FOLDER PROBE (PROBE: sbk3_cups_probe)
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
probe=$(readlink -f "$3")
here=$(dirname "$(readlink -f "$0")")
queue=SBK3PDF
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

if [ -z "${SBK3_UNDER_XVFB:-}" ]; then
    [ "$(id -u)" -eq 0 ] || { echo "skipped: starting cupsd needs root"; exit 77; }
    for tool in cupsd lpadmin lpstat cupsreject cupsdisable xvfb-run xdotool pdftoppm convert; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
    [ -f "$ppd" ] || { echo "skipped: printer-driver-cups-pdf is not installed"; exit 77; }
    exec env -u QT_QPA_PLATFORM SBK3_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
. "$here/x11lib.sh"

work=$(mktemp -d)
pid=""
started_cupsd=""
old_default=$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p' || true)
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    cancel -a "$queue" 2>/dev/null || true
    lpadmin -x "$queue" 2>/dev/null || true
    [ -n "$old_default" ] && lpadmin -d "$old_default" 2>/dev/null || true
    # Leave no default printer behind for the tests that read the PDF stand-in.
    [ -n "$started_cupsd" ] && kill "$started_cupsd" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

step "print system"
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    mkdir -p /run/cups
    cupsd || { echo "skipped: cupsd does not start here"; exit 77; }
    for _ in $(seq 1 50); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.1
    done
    lpstat -r 2>/dev/null | grep -q "is running" || { echo "skipped: cupsd did not come up"; exit 77; }
    started_cupsd=$(pgrep -x cupsd | head -n 1)
fi

# The queue anew as the default printer: paper $1, PPD $2.
make_queue() {
    lpadmin -x "$queue" 2>/dev/null || true
    lpadmin -p "$queue" -v cups-pdf:/ -P "$2" -E -o PageSize="$1" 2>"$OUT/lpadmin.err" ||
        fail "cannot add the queue: $(cat "$OUT/lpadmin.err")"
    lpadmin -d "$queue" || fail "cannot make $queue the default printer"
}

completed() { lpstat -W completed -o "$queue" 2>/dev/null | grep -c . || true; }
pending() { lpstat -o "$queue" 2>/dev/null | grep -c . || true; }

# A stored worksheet $1 of $2 division problems.
store_sheet() {
    local number=$1 count=$2 k d q
    {
        printf '"Queue test %s","%s",%d\r\n' "$number" "$number" "$count"
        for k in $(seq 0 $((count - 1))); do
            d=$((k % 9 + 1)); q=$((k % 7 + 1))
            printf '%d,%d,"\xF7"\r\n' $((d * q)) "$d"
        done
    } > "$work/$number"
}

# Runs Print Saved on worksheet $1 in the real program, in Compact Test when $2 is "compact",
# with the bottom line "Room 12". A box the print brings up is photographed as $3 and closed.
print_saved() {
    local number=$1 layout=$2 box_picture=${3:-}
    touch "$work/.before"
    (cd "$work" && exec ./SBK3 >>"$OUT/sbk3-cups.log" 2>&1) &
    pid=$!
    local splash W input
    splash=$(wait_windows "Splash")
    sleep 0.3
    xdotool mousemove --window "$splash" 100 100 click 1
    W=$(wait_windows "Sumbrook 3")
    focus "$W"
    [ "$layout" = compact ] && click_in "$W" 200 148
    type_into "$W" 212 116 "Room 12"
    click_in "$W" 160 192
    input=$(wait_windows "Print Saved")
    focus "$input"
    xdotool type --delay 15 "$number"
    keys Return
    if [ -n "$box_picture" ]; then
        expect_box "Print Saved" "$box_picture"
    else
        wait_windows "Print Saved" 0 >/dev/null
        sleep 1
        [ "$(windows_named "Sumbrook 3" | grep -c .)" -eq 1 ] || fail "a box came up for $number"
        [ "$(windows_named "Print Saved" | grep -c .)" -eq 0 ] || fail "a box came up for $number"
    fi
    [ ! -e "$work/$number.pdf" ] || fail "printed to the PDF stand-in, not the queue"
    click_in "$W" 264 240
    process_gone "$pid" || fail "SBK3 still running after Exit"
    pid=""
}

# Waits for the job after $1 completed ones to complete, and keeps its page as $2.pdf, .pgm
# (72 dpi grey) and .png.
arrived_page() {
    local before=$1 name=$2 done_now pdf=""
    for _ in $(seq 1 300); do
        done_now=$(completed)
        [ "$done_now" -gt "$before" ] && [ "$(pending)" -eq 0 ] && break
        sleep 0.1
    done
    [ "$done_now" -gt "$before" ] || fail "the job did not complete: $(lpstat -o "$queue")"
    for _ in $(seq 1 100); do
        pdf=$(find "$HOME/PDF" /root/PDF /var/spool/cups-pdf -name '*.pdf' -newer "$work/.before" 2>/dev/null | head -n 1 || true)
        [ -n "$pdf" ] && break
        sleep 0.1
    done
    [ -n "$pdf" ] || fail "no PDF from the queue"
    mv "$pdf" "$OUT/$name.pdf"
    pdfinfo "$OUT/$name.pdf" | grep -Eq '^Pages: +1$' || fail "$name: not one page"
    pdftoppm -r 72 -gray -singlefile "$OUT/$name.pdf" "$OUT/$name" 2>/dev/null
    pdftoppm -r 60 -png -singlefile "$OUT/$name.pdf" "$OUT/$name" 2>/dev/null
    page=$OUT/$name.pgm
}

# Mean brightness of a region WxH+X+Y in points from the top-left of the page (1 is white).
mean() { convert "$page" -crop "$1" +repage -format '%[fx:mean]' info:; }
inked() { awk -v m="$(mean "$1")" 'BEGIN { exit !(m < 0.97) }' || fail "no ink at $1 ($2)"; }
blank() { awk -v m="$(mean "$1")" 'BEGIN { exit !(m > 0.999) }' || fail "ink at $1 ($2)"; }
# Region $1 given in character units at scale $2 from a printable area starting at ($3, $4)
# points: "x y w h" with 1 unit = 6 pt across and 12 pt down.
units() {
    awk -v s="$2" -v l="$3" -v t="$4" -v r="$1" 'BEGIN {
        split(r, a, " ");
        printf "%dx%d+%d+%d", a[3] * 6 * s, a[4] * 12 * s, l + a[1] * 6 * s, t + a[2] * 12 * s }'
}

# A 300-problem Compact Test page at scale $1, printable area from ($2, $3) and $4 points high:
# every column has ink in the first and the last row, the gaps between columns none, and the
# bottom line starts 0.6 units (scaled) above the foot, below the last row.
check_compact_page() {
    local s=$1 left=$2 top=$3 height=$4 c
    for c in $(seq 0 19); do
        inked "$(units "$((5 * c + 1)).3 4.2 3.4 1.6" "$s" "$left" "$top")" "column $((c + 1)), row 1"
        inked "$(units "$((5 * c + 1)).3 60.2 3.4 1.6" "$s" "$left" "$top")" "column $((c + 1)), row 15"
    done
    blank "$(units "5.1 4 0.8 60" "$s" "$left" "$top")" "between columns 1 and 2"
    blank "$(units "1 62.6 90 1.3" "$s" "$left" "$top")" "answer space of the last row"
    inked "$(awk -v s="$s" -v l="$left" -v t="$top" -v h="$height" \
        'BEGIN { printf "60x6+%d+%d", l + 6 * s, t + h - 7.2 * s + 0.5 }')" "the bottom line"
}

cp "$exe" "$work/SBK3"
rm -f "$OUT/sbk3-cups.log"
store_sheet DIV080001 80
store_sheet DIV300001 300

step "Letter, no margins: Easy Reading, 80 problems"
make_queue Letter "$ppd"
before=$(completed)
print_saved DIV080001 easy
arrived_page "$before" queue-page
pdfinfo "$OUT/queue-page.pdf" | grep -q '612 x 792' || fail "not Letter"
inked 250x26+0+0 "name line"
inked 300x30+0+28 "title"
inked 34x40+18+50 "first problem"
inked 50x40+560+725 "last problem"
blank 200x50+390+0 "right of the title"
blank 20x35+52+55 "between the first two problems"

step "A4, no margins: Compact Test, 300 problems"
make_queue A4 "$ppd"
before=$(completed)
print_saved DIV300001 compact
arrived_page "$before" queue-a4
pdfinfo "$OUT/queue-a4.pdf" | grep -q '595.* x 842' || fail "not A4"
check_compact_page "$(awk 'BEGIN { print 595.28 / 600 }')" 0 0 841.89

step "Letter, 1/4 in margins: Compact Test, 300 problems"
sed 's|^\*ImageableArea Letter/\(.*\): ".*"|*ImageableArea Letter/\1: "18 18 594 774"|' "$ppd" > "$work/margins.ppd"
grep -q '^\*ImageableArea Letter/.*"18 18 594 774"' "$work/margins.ppd" || fail "no Letter imageable area in $ppd"
make_queue Letter "$work/margins.ppd"
before=$(completed)
print_saved DIV300001 compact
arrived_page "$before" queue-letter-margins
check_compact_page 0.96 18 18 756
blank 612x17+0+0 "top margin"
blank 17x792+0+0 "left margin"
blank 17x792+595+0 "right margin"

step "a queue that rejects jobs: a box, and nothing is sent"
cupsreject "$queue"
before=$(completed)
print_saved DIV080001 easy box-printer-rejects
sleep 1
[ "$(pending)" -eq 0 ] && [ "$(completed)" -eq "$before" ] || fail "a job reached the rejecting queue"
cupsaccept "$queue"

step "a paused queue: a box, and the job waits"
cupsdisable "$queue"
print_saved DIV080001 easy box-printer-paused
[ "$(pending)" -eq 1 ] || fail "no job is held by the paused queue: $(lpstat -o "$queue")"
cancel -a "$queue"
cupsenable "$queue"

step "a queue paused while the page is made: reported as held, never as sent"
said=$("$probe" "$queue" "$work" 2>>"$OUT/sbk3-cups.log")
[ "$said" = held ] || fail "a page for a queue paused meanwhile was reported as: $said"
cancel -a "$queue"
cupsenable "$queue"

no_sanitizer_reports "$OUT/sbk3-cups.log"
echo "1 passed, 0 failed"
