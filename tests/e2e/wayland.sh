#!/usr/bin/env bash
# The real SBK3 on Wayland, in a headless sway with a 1366 x 768 output, driven by a virtual
# keyboard: with the main window moved to the bottom right, the Print Saved box and a message
# box open over it, and the box stays there as its list appears;
# Esc in the open Type list closes only the list. Sway will not run as root: as root the
# program and sway run as nobody. Skipped (77) without sway, wtype or Qt's Wayland plugin.
# Usage: wayland.sh SBK3 OUTPUT_FOLDER
set -euo pipefail
. "$(dirname "$(readlink -f "$0")")/x11lib.sh" # fail, no_sanitizer_reports

# The part that runs as the user, in its own D-Bus session: $1 is the work folder.
as_user() {
    work=$1
    export XDG_RUNTIME_DIR=$work/runtime HOME=$work XDG_CONFIG_HOME=$work/config
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    printf 'output HEADLESS-1 resolution 1366x768 position 0 0\nxwayland disable\n' >"$work/sway.conf"
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
    sway=$!
    trap 'kill "${pid:-}" "${keyboard:-}" "${bus:-}" "$sway" 2>/dev/null' EXIT
    for _ in $(seq 1 100); do
        SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null || true)
        [ -n "$SWAYSOCK" ] && [ -S "$XDG_RUNTIME_DIR/wayland-1" ] && break
        sleep 0.1
    done
    [ -n "$SWAYSOCK" ] || fail "sway did not start: $(tail -n 5 "$work/sway.log")"
    export SWAYSOCK WAYLAND_DISPLAY=wayland-1
    # A virtual keyboard that stays on the seat, so that the keys typed below find a keymap.
    wtype -s 600000 '' &
    keyboard=$!
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    bus=$!
    # With assistive technology on, Return goes past the splash: there is no pointer here.
    (cd "$work/run" && QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        exec ./SBK3 >>"$work/sbk3.log" 2>&1) &
    pid=$!

    wait_focused Splash
    wtype -k Return
    wait_focused "Sumbrook 3"
    swaymsg "[pid=$pid] move absolute position 900 450" >/dev/null
    sleep 0.3
    read -r main_x main_y main_w main_h _ < <(window_frame "Sumbrook 3" 0)
    [ "$main_x $main_y" = "900 450" ] || fail "the main window was not moved: at $main_x,$main_y"

    echo "--- Print Saved opens over the moved main window"
    for _ in 1 2 3 4 5 6; do wtype -k Tab; done # the title, to Print Saved
    wtype -k space
    wait_focused "Print Saved"
    expect_over_main "Print Saved"
    local size
    size=$(window_frame "Print Saved" 1 | cut -d' ' -f3-)
    wtype ADD
    sleep 1
    [ "$(window_frame "Print Saved" 1 | cut -d' ' -f3-)" = "$size" ] ||
        fail "the box changed size as its list appeared"
    expect_over_main "Print Saved"
    grim "$work/wayland-print-saved.png" 2>/dev/null || true

    echo "--- the message box for a number that is none opens over it"
    wtype -M ctrl -k a -m ctrl ZZZ999999 -k Return
    wait_focused "No Serial"
    expect_over_main "No Serial"
    grim "$work/wayland-message.png" 2>/dev/null || true
    wtype -k Return
    sleep 0.5

    echo "--- Esc in the open Type list closes only the list"
    for _ in 1 2 3 4 5; do wtype -M shift -k Tab -m shift; done # Print Saved, back to Type
    wtype -M alt -k Down -m alt
    sleep 0.8
    grim "$work/wayland-type-list.png" 2>/dev/null || true
    wtype -k Escape
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "Esc in the Type list ended the program"
    # The keys do arrive: Esc on the main window itself is Exit.
    wtype -k Escape
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    ! kill -0 "$pid" 2>/dev/null || fail "Esc on the main window did not end the program"
    pid=""
    echo "1 passed, 0 failed"
}

# The frame (title bar included) of the window named $1, the ($2 + 1)th in sway's order, with
# whether it has the focus: "X Y W H [focused]".
window_frame() {
    swaymsg -t get_tree | python3 -c '
import json, sys
found = []
def walk(node):
    if node.get("pid") and node.get("name") == sys.argv[1]:
        rect, bar = node["rect"], node["deco_rect"]["height"]
        found.append("%d %d %d %d%s" % (rect["x"], rect["y"] - bar, rect["width"],
                     rect["height"] + bar, " focused" if node["focused"] else ""))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))
if int(sys.argv[2]) < len(found):
    print(found[int(sys.argv[2])])' "$1" "${2:-0}"
}

wait_focused() {
    for _ in $(seq 1 100); do
        window_frame "$1" "${2:-0}" | grep -q focused && return 0
        sleep 0.1
    done
    fail "no focused window named '$1' (sway has: $(swaymsg -t get_tree | grep -o '"name": "[^"]*"' | tr '\n' ' '))"
}

# The box's middle comes to the main window's middle within a second.
expect_over_main() {
    local x y w h
    for _ in $(seq 1 20); do
        read -r x y w h _ < <(window_frame "$1" "${2:-0}")
        [ $((2 * x + w - 2 * main_x - main_w)) -ge -3 ] && [ $((2 * x + w - 2 * main_x - main_w)) -le 3 ] &&
            [ $((2 * y + h - 2 * main_y - main_h)) -ge -3 ] && [ $((2 * y + h - 2 * main_y - main_h)) -le 3 ] &&
            return 0
        sleep 0.05
    done
    fail "'$1' is at $x,$y (${w}x$h), not over the main window at $main_x,$main_y (${main_w}x$main_h)"
}

if [ "${1:-}" = "--as-user" ]; then
    as_user "$2"
    exit
fi

exe=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
for tool in sway swaymsg wtype python3 dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
    { echo "skipped: Qt's Wayland plugin (qt6-wayland) is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run"
cp "$exe" "$work/run/SBK3"
printf '"Sums","ADD002100",2\r\n1,2,"+"\r\n3,4,"+"\r\n' >"$work/run/ADD002100"
cp "$0" "$(dirname "$0")/x11lib.sh" "$work/"
rm -f "$OUT"/wayland-*.png
# A sanitizer build's options go along, their suppression files copied where the user can read.
# The leaks of Qt's Wayland plugin are known by frames under Qt's own, which only the slow
# unwinder finds (Debian's Qt keeps no frame pointers).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
passed=(PATH="$PATH")
for variable in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS; do
    value=${!variable:-}
    [ -n "$value" ] || continue
    if [[ $value =~ suppressions=([^: ]+) ]]; then
        cp "${BASH_REMATCH[1]}" "$work/$variable.supp"
        value=${value/"${BASH_REMATCH[1]}"/"$work/$variable.supp"}
    fi
    passed+=("$variable=$value")
done
status=0
if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$work"
    chown -R nobody:nogroup "$work"
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i "${passed[@]}" dbus-run-session -- bash "$work/wayland.sh" --as-user "$work" || status=$?
else
    env -i "${passed[@]}" dbus-run-session -- bash "$work/wayland.sh" --as-user "$work" || status=$?
fi
cp "$work"/wayland-*.png "$OUT/" 2>/dev/null || true
no_sanitizer_reports "$work/sbk3.log"
[ "$status" -eq 0 ] || { tail -n 20 "$work/sbk3.log" >&2 2>/dev/null; exit "$status"; }
