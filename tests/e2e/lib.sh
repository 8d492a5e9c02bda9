# Shared steps of the end-to-end tests: start the built program on the X
# server in DISPLAY, find its windows, drive it with real input through
# xdotool and look at screenshots.
# Usage from a test: source lib.sh TARVO SCREENSHOT_CHECK ARTIFACT_DIR
set -euo pipefail

TARVO_BIN=$1
CHECK_BIN=$2
ARTIFACTS=$3
mkdir -p "$ARTIFACTS"
TARVO_PID=
MAIN_WINDOW=
WM_PID=

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cleanup() {
    if [ -n "$TARVO_PID" ] && kill -0 "$TARVO_PID" 2>/dev/null; then
        kill "$TARVO_PID" 2>/dev/null || true
        wait "$TARVO_PID" 2>/dev/null || true
    fi
    if [ -n "$WM_PID" ]; then
        kill "$WM_PID" 2>/dev/null || true
        wait "$WM_PID" 2>/dev/null || true
    fi
}

# Runs a window manager (openbox) on the display, as on a desktop: some
# toolkit paths, such as waiting for the frame's decoration size, run only
# under one.
start_window_manager() {
    command -v openbox >/dev/null || fail "openbox is not installed (scripts/setup.sh installs it)"
    # A manager that ran earlier on this display leaves its mark on the
    # root window: only this one's may count.
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null || true
    openbox >"$ARTIFACTS/openbox.log" 2>&1 &
    WM_PID=$!
    # Its first start on a fresh system can take many seconds (font caches
    # are built then), longer still beside other tests: wait up to a minute,
    # and say why when it died.
    local i
    for i in $(seq 1 600); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
            return 0
        fi
        if ! kill -0 "$WM_PID" 2>/dev/null; then
            fail "the window manager exited: $(cat "$ARTIFACTS/openbox.log")"
        fi
        sleep 0.1
    done
    fail "the window manager did not start within a minute: $(cat "$ARTIFACTS/openbox.log")"
}

# Fails if the program wrote any toolkit warning or critical line to stderr.
expect_no_toolkit_warnings() {
    local found
    found=$(grep -E '(Gtk|Gdk|GLib|GLib-GObject|Pango|GdkPixbuf)-(WARNING|CRITICAL)' \
        "$ARTIFACTS/stderr.txt" || true)
    [ -z "$found" ] || fail "toolkit warnings on stderr: $found"
}
trap cleanup EXIT

# The program's visible windows: found by WM_CLASS when the process started
# is not the one that owns the windows (as under Wine), by process, or any
# program's when TARVO_PID is empty (a program in another PID namespace).
WINDOW_CLASS=
program_windows() {
    if [ -n "$WINDOW_CLASS" ]; then
        xdotool search --onlyvisible --classname "$WINDOW_CLASS" 2>/dev/null
    elif [ -n "$TARVO_PID" ]; then
        xdotool search --onlyvisible --pid "$TARVO_PID" 2>/dev/null
    else
        xdotool search --onlyvisible --name . 2>/dev/null
    fi
}

# The visible window of the program whose title is exactly $1. xprop prints a
# title outside ASCII as octal escapes unless the locale is UTF-8, and
# C.UTF-8 is there on every system.
window_titled() {
    local w
    for w in $(program_windows); do
        if LC_ALL=C.UTF-8 xprop -id "$w" _NET_WM_NAME 2>/dev/null | grep -qF "= \"$1\""; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

wait_for_window() {
    local title=$1 i
    for i in $(seq 1 200); do
        if window_titled "$title"; then
            return 0
        fi
        sleep 0.1
    done
    fail "no window titled '$title' appeared"
}

start_tarvo() {  # [program arguments...]
    # stderr is kept for expect_no_toolkit_warnings and still shown.
    "$TARVO_BIN" "$@" 2> >(tee "$ARTIFACTS/stderr.txt" >&2) &
    TARVO_PID=$!
    MAIN_WINDOW=$(wait_for_window Tarvo)
    xdotool windowfocus --sync "$MAIN_WINDOW"
    wait_for_figure
}

# Waits until the first paint of MAIN_WINDOW shows something besides black.
wait_for_figure() {
    local i
    for i in $(seq 1 100); do
        shot startup-probe
        if [ "$(count startup-probe red)" -gt 0 ]; then
            return 0
        fi
        sleep 0.1
    done
    fail "the view never drew the figure"
}

# Shoots MAIN_WINDOW as $1 and checks the start picture: the red figure and
# the grey bar on a black background.
expect_start_picture() {
    shot "$1"
    keep_png "$1"
    local red grey black
    red=$(count "$1" red)
    grey=$(count "$1" grey)
    black=$(count "$1" black)
    echo "$1: red=$red grey=$grey black=$black"
    [ "$red" -gt 3000 ] || fail "$1: too little red figure ($red px)"
    [ "$grey" -gt 300 ] || fail "$1: no grey bar ($grey px)"
    [ "$black" -gt $((red * 5)) ] || fail "$1: the background is not black"
    [ "$(count "$1" white)" -lt 200 ] || fail "$1: white pixels on the black view"
}

# Screenshot of the main window as $ARTIFACTS/$1.ppm (and .png for people).
shot() {
    import -window "$MAIN_WINDOW" -depth 8 "$ARTIFACTS/$1.ppm"
}

keep_png() {
    convert "$ARTIFACTS/$1.ppm" "$ARTIFACTS/$1.png"
}

geometry() {  # window -> "X Y W H"
    xdotool getwindowgeometry --shell "$1" | awk -F= '
        /^X=/ {x=$2} /^Y=/ {y=$2} /^WIDTH=/ {w=$2} /^HEIGHT=/ {h=$2}
        END {print x, y, w, h}'
}

# The menu bar's height: the view starts below it.
MENU_HEIGHT=24

# Pixel class count (red, grey, black, white, other) in the view area of shot $1.
count() {
    local w h
    read -r _ _ w h < <(geometry "$MAIN_WINDOW")
    "$CHECK_BIN" count "$ARTIFACTS/$1.ppm" 0 "$MENU_HEIGHT" "$w" $((h - MENU_HEIGHT)) |
        tr ' ' '\n' | awk -F= -v k="$2" '$1 == k {print $2}'
}

# Pixels differing between shots $1 and $2 inside X Y W H.
differ() {
    "$CHECK_BIN" diff "$ARTIFACTS/$1.ppm" "$ARTIFACTS/$2.ppm" "${@:3}" |
        tr ' ' '\n' | awk -F= '$1 == "differ" {print $2}'
}

# Pixels of shot $1's view area within $5 of colour ($2, $3, $4) in every channel.
near() {
    local w h
    read -r _ _ w h < <(geometry "$MAIN_WINDOW")
    "$CHECK_BIN" near "$ARTIFACTS/$1.ppm" "$2" "$3" "$4" "$5" 0 "$MENU_HEIGHT" "$w" $((h - MENU_HEIGHT)) |
        tr ' ' '\n' | awk -F= '$1 == "near" {print $2}'
}

# Drags with button $1 from ($2, $3) by ($4, $5) in steps, in main window coordinates.
drag() {
    local button=$1 x=$2 y=$3 dx=$4 dy=$5 i steps=10
    xdotool mousemove --window "$MAIN_WINDOW" "$x" "$y"
    sleep 0.1
    xdotool mousedown "$button"
    for i in $(seq 1 $steps); do
        xdotool mousemove --window "$MAIN_WINDOW" $((x + dx * i / steps)) $((y + dy * i / steps))
        sleep 0.03
    done
    xdotool mouseup "$button"
    sleep 0.5
}

# Clicks at dialog units (X, Y) of dialog window $1, whose template is W x H units.
click_dialog_units() {
    local window=$1 ux=$2 uy=$3 tw=$4 th=$5 x y w h
    read -r x y w h < <(geometry "$window")
    xdotool mousemove --sync $((x + ux * w / tw)) $((y + uy * h / th))
    sleep 0.1
    xdotool click 1
    sleep 0.2
}

# Opens dialog $2 with Alt+P and menu key $1; prints its window.
open_dialog() {
    xdotool key alt+p
    sleep 0.3
    xdotool key "$1"
    wait_for_window "$2"
}

# Replaces the text of the edit at dialog units (X, Y) of dialog $1, whose
# template is W x H units, with $6.
type_into_dialog_units() {
    click_dialog_units "$1" "$2" "$3" "$4" "$5"
    xdotool key ctrl+a
    xdotool type --delay 20 "$6"
}

expect_exit_within() {
    local i
    for i in $(seq 1 $(($1 * 10))); do
        if ! kill -0 "$TARVO_PID" 2>/dev/null; then
            wait "$TARVO_PID" || fail "the program exited with status $?"
            TARVO_PID=
            return 0
        fi
        sleep 0.1
    done
    fail "the program did not exit"
}
