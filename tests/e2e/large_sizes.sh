#!/usr/bin/env bash
# Every window of the real SBK3 fits a 1366 x 768 screen at scale 2 and at 144 dpi: "Worksheet
# Settings" (its fields scroll, OK and Cancel stay in sight) and the library (its buttons wrap).
# Usage: large_sizes.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

. "$here/x11lib.sh"
SBK3_SCREEN=1366x768 under_xvfb "xdotool import openbox" "$0" "$@"

work_folder_with_window_manager
rm -f "$OUT"/large-*.png "$OUT/large.log"

# The size of the window named $1, "W H", as the window manager has it.
size_of() {
    xdotool getwindowgeometry "$(wait_windows "$1")" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p'
}

for setting in QT_SCALE_FACTOR=2 QT_FONT_DPI=144; do
    for window in "--settings:Worksheet Settings" "--library:Worksheet Library"; do
        option=${window%%:*}
        name=${window#*:}
        step "$setting: $name"
        export "${setting?}"
        start_past_splash "$OUT/large.log" "$option"
        read -r width height < <(size_of "$name")
        shot "large-${setting%%=*}-${option#--}"
        [ "$width" -le 1366 ] && [ "$height" -le 768 ] ||
            fail "$name is ${width}x$height at $setting, larger than the screen"
        kill "$pid"
        process_gone "$pid" || fail "SBK3 still running"
        pid=""
        unset "${setting%%=*}"
    done
done
no_sanitizer_reports "$OUT/large.log"
echo "1 passed, 0 failed"
