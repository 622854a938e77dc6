# Helpers for driving SBK3 through X input. Sourced by the end-to-end scripts.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A laid-out worksheet's problem lines: past its header and the quoted page, set and settings lines.
problem_lines() {
    tail -n +2 "$1" | grep -av '^"'
}

step() {
    echo "--- $*"
}

# under_xvfb "TOOL ..." SCRIPT ARGS...: the calling script runs itself again on a virtual
# display of its own, once its tools are there (exit 77, skipped, when one is missing).
# Returns at once when it already runs there. SBK3_SCREEN sets the screen's size (1024x768).
under_xvfb() {
    [ -n "${SBK3_UNDER_XVFB:-}" ] && return 0
    local tool
    for tool in xvfb-run $1; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
    shift
    exec env -u QT_QPA_PLATFORM SBK3_UNDER_XVFB=1 xvfb-run -a \
        -s "-screen 0 ${SBK3_SCREEN:-1024x768}x24" "$@"
}

# A work folder with a copy of SBK3 ($exe) in it, and openbox running; on exit both go, with the
# program (pid) if it still runs. Sets work, wm and pid.
work_folder_with_window_manager() {
    work=$(mktemp -d)
    pid=""
    openbox >/dev/null 2>&1 &
    wm=$!
    trap 'kill "$pid" "$wm" 2>/dev/null; rm -rf "$work" "$work.config"' EXIT
    cp "$exe" "$work/SBK3"
    sleep 0.5
}

# Starts SBK3 in $work with the options after $1, its output added to log $1, and clicks its
# splash away; sets pid and main, the main window, focused.
start_past_splash() {
    # Settings kept between runs go to a folder of this start's own, beside the work folder;
    # a restart (SBK3_RESTART=1) keeps what the last run left there.
    [ -n "${SBK3_RESTART:-}" ] || rm -rf "$work.config"
    mkdir -p "$work.config"
    export XDG_CONFIG_HOME="$work.config"
    (cd "$work" && exec ./SBK3 "${@:2}" >>"$1" 2>&1) &
    pid=$!
    local splash
    splash=$(wait_windows "Splash")
    sleep 0.3
    click_in "$splash" 100 100
    main=$(wait_windows "Sumbrook 3")
    sleep 0.8
    focus "$main"
}

# Visible windows whose name is exactly $1.
windows_named() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true
}

# Waits until exactly $2 (default 1) visible windows are named $1; prints the newest one.
wait_windows() {
    local name=$1 want=${2:-1} found
    for _ in $(seq 1 100); do
        found=$(windows_named "$name")
        if [ "$(printf '%s' "$found" | grep -c .)" -eq "$want" ]; then
            printf '%s\n' "$found" | tail -n 1
            return 0
        fi
        sleep 0.1
    done
    # Whether the virtual display still answers tells a program's fault from the display's.
    xdotool getdisplaygeometry >/dev/null 2>&1 && echo "the display $DISPLAY answers" ||
        echo "the display $DISPLAY does not answer"
    fail "expected $want window(s) named '$name', found: $(printf '%s' "$found" | grep -c .)"
}

# Gives window $1 the keyboard; keys then go through XTEST, as typed.
focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || true
}

keys() {
    xdotool key --delay 20 "$@"
}

shot() {
    import -window root "$OUT/$1.png"
}

# The box named $1 comes up over the main window; it is photographed and closed with Return.
expect_box() {
    local name=$1 picture=$2 count=1
    [ "$name" = "Sumbrook 3" ] && count=2
    local box
    box=$(wait_windows "$name" "$count")
    sleep 0.2
    shot "$picture"
    focus "$box"
    keys Return
    wait_windows "$name" $((count - 1)) >/dev/null
}

# Clicks at (x, y) inside window $1.
click_in() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.1
}

# Replaces the text of the line edit at (x, y) of window $1 with $4, typed key by key.
type_into() {
    click_in "$1" "$2" "$3"
    keys ctrl+a BackSpace
    [ -n "$4" ] && xdotool type --delay 15 "$4"
    sleep 0.1
}

process_gone() {
    for _ in $(seq 1 50); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# Fails when a sanitizer build of the program reported anything into log $1.
no_sanitizer_reports() {
    if grep -Eq 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$1" 2>/dev/null; then
        grep -E -A20 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$1" | head -n 60 >&2
        fail "sanitizer report in $1"
    fi
}
