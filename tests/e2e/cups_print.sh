#!/usr/bin/env bash
# Prints a stored worksheet through the program's system-printer path: a real CUPS queue with
# the cups-pdf backend as the default printer, the real SBK3 driven under Xvfb. Checks the job
# completes and that one page arrives with ink where the name line, the title and the first and
# last problems belong. Skipped (77) where cupsd cannot be started.
# Usage: cups_print.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")
queue=SBK3PDF
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

if [ -z "${SBK3_UNDER_XVFB:-}" ]; then
    [ "$(id -u)" -eq 0 ] || { echo "skipped: starting cupsd needs root"; exit 77; }
    for tool in cupsd lpadmin lpstat xvfb-run xdotool pdftoppm convert; do
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
    lpadmin -x "$queue" 2>/dev/null || true
    [ -n "$old_default" ] && lpadmin -d "$old_default" 2>/dev/null || true
    # Leave no default printer behind for the tests that read the PDF stand-in.
    [ -n "$started_cupsd" ] && kill "$started_cupsd" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

step "print queue"
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
lpadmin -p "$queue" -v cups-pdf:/ -P "$ppd" -E -o PageSize=Letter 2>"$OUT/lpadmin.err" ||
    fail "cannot add the queue: $(cat "$OUT/lpadmin.err")"
lpadmin -d "$queue" || fail "cannot make $queue the default printer"
cancel -a "$queue" 2>/dev/null || true

step "a stored 80-problem division worksheet"
number=DIV080001
{
    printf '"Queue test %s","%s",80\r\n' "$number" "$number"
    for k in $(seq 0 79); do
        d=$((k % 9 + 1)); q=$((k % 7 + 1))
        printf '%d,%d,"\xF7"\r\n' $((d * q)) "$d"
    done
} > "$work/$number"
cp "$exe" "$work/SBK3"
touch "$work/.before"
rm -f "$OUT/sbk3-cups.log"
completed_before=$(lpstat -W completed -o "$queue" 2>/dev/null | grep -c . || true)

step "Print Saved in the real program"
(cd "$work" && exec ./SBK3 >>"$OUT/sbk3-cups.log" 2>&1) &
pid=$!
splash=$(wait_windows "Splash")
sleep 0.3
xdotool mousemove --window "$splash" 100 100 click 1
W=$(wait_windows "Sumbrook 3")
focus "$W"
click_in "$W" 160 192
input=$(wait_windows "Print Saved")
focus "$input"
xdotool type --delay 15 "$number"
keys Return
wait_windows "Print Saved" 0 >/dev/null
sleep 1
[ "$(windows_named "Sumbrook 3" | grep -c .)" -eq 1 ] || fail "a box came up: the page went elsewhere"
[ ! -e "$work/$number.pdf" ] || fail "printed to the PDF stand-in, not the queue"
click_in "$W" 264 240
process_gone "$pid" || fail "SBK3 still running after Exit"
pid=""

step "the job completes and its page arrives"
for _ in $(seq 1 300); do
    done_now=$(lpstat -W completed -o "$queue" 2>/dev/null | grep -c . || true)
    [ "$done_now" -gt "$completed_before" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break
    sleep 0.1
done
[ "$done_now" -gt "$completed_before" ] || fail "the job did not complete: $(lpstat -o "$queue")"
pdf=""
for _ in $(seq 1 100); do
    pdf=$(find "$HOME/PDF" /root/PDF /var/spool/cups-pdf -name '*.pdf' -newer "$work/.before" 2>/dev/null | head -n 1 || true)
    [ -n "$pdf" ] && break
    sleep 0.1
done
[ -n "$pdf" ] || fail "no PDF from the queue"
cp "$pdf" "$OUT/queue-page.pdf"
rm -f "$pdf"
pdfinfo "$OUT/queue-page.pdf" | grep -Eq '^Pages: +1$' || fail "not one page"
pdftoppm -r 72 -gray -singlefile "$OUT/queue-page.pdf" "$OUT/queue-page" 2>/dev/null
pdftoppm -r 60 -png -singlefile "$OUT/queue-page.pdf" "$OUT/queue-page" 2>/dev/null

# Mean brightness of a region in points from the top-left of the page (1 is white).
mean() { convert "$OUT/queue-page.pgm" -crop "$1" +repage -format '%[fx:mean]' info:; }
inked() { awk -v m="$(mean "$1")" 'BEGIN { exit !(m < 0.97) }' || fail "no ink at $1 ($2)"; }
blank() { awk -v m="$(mean "$1")" 'BEGIN { exit !(m > 0.999) }' || fail "ink at $1 ($2)"; }
# Regions allow for a printer margin of up to 0.15 inch on each side.
inked 250x26+0+0 "name line"
inked 300x30+0+28 "title"
inked 34x40+18+50 "first problem"
inked 50x40+560+725 "last problem"
blank 200x50+390+0 "right of the title"
blank 25x35+58+55 "between the first two problems"
no_sanitizer_reports "$OUT/sbk3-cups.log"
echo "1 passed, 0 failed"
