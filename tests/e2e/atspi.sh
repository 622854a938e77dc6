#!/usr/bin/env bash
# The real SBK3 asked over AT-SPI, as a screen reader asks, on an accessibility bus of its own:
# the splash is named and goes on with Return; a text box answers the word at the end of its
# text (the query Qt 6.4's own answer never returned from) and one run of attributes over it;
# the Type box is read with its value. Usage: atspi.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")

. "$here/x11lib.sh"
if [ -z "${SBK3_UNDER_DBUS:-}" ]; then
    for tool in dbus-run-session /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
    /usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "skipped: no pyatspi"; exit 77; }
    exec env SBK3_UNDER_DBUS=1 dbus-run-session -- "$0" "$@"
fi
under_xvfb "xdotool openbox" "$0" "$@"

work_folder_with_window_manager
rm -f "$OUT/atspi.log"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
trap 'kill "$pid" "$wm" "$bus" 2>/dev/null; rm -rf "$work" "$work.config"' EXIT
sleep 1

step "the splash, named; Return goes on"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_CONFIG_HOME="$work.config"
(cd "$work" && exec ./SBK3 >>"$OUT/atspi.log" 2>&1) &
pid=$!
wait_windows "Splash" >/dev/null
/usr/bin/python3 "$here/atspi_query.py" splash
keys Return
wait_windows "Sumbrook 3" >/dev/null

step "the count's last word, its attributes and the Type box, asked over AT-SPI"
/usr/bin/python3 "$here/atspi_query.py" main
kill -0 "$pid" || fail "SBK3 ended"
no_sanitizer_reports "$OUT/atspi.log"
echo "1 passed, 0 failed"
