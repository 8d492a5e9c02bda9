#!/usr/bin/env bash
# Full screen under a window manager, abused: bursts of F11 faster than the
# manager answers end in the state the last key asked for, with the menu bar
# back whenever the window is not full screen, and Esc leaves. Entering
# shows for a few seconds how to leave.
source "$(dirname "$0")/lib.sh"

start_window_manager
start_tarvo
read -r _ _ width height < <(geometry "$MAIN_WINDOW")
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')

# Where the view (the largest child window) starts in the main window: below
# the menu bar, or at 0 without one.
view_top() {
    xwininfo -id "$MAIN_WINDOW" -children |
        awk '/^ +0x/ {g = $0; sub(/.*\) +/, "", g); split(g, s, /[x+]/);
                      if (s[1] * s[2] > best) {best = s[1] * s[2]; top = s[4]}}
             END {print top + 0}'
}
full_screen() { xprop -id "$MAIN_WINDOW" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN; }
f11_burst() { xdotool key --delay 5 $(printf 'F11 %.0s' $(seq 1 "$1")); }
# Waits up to 5 s for the window's state $1 (on or off) with its menu bar.
settled() {
    local i
    for i in $(seq 1 50); do
        if [ "$1" = on ] && full_screen && [ "$(view_top)" -eq 0 ]; then
            return 0
        fi
        if [ "$1" = off ] && ! full_screen && [ "$(view_top)" -eq "$menu_top" ] &&
           [ "$(geometry "$MAIN_WINDOW" | cut -d' ' -f3-)" = "$width $height" ]; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}
# The hint's box, centred an eighth of the screen down: pixels of its dark grey.
hint_pixels() {
    import -window root -depth 8 "$ARTIFACTS/$1.ppm"
    "$CHECK_BIN" near "$ARTIFACTS/$1.ppm" 40 40 40 3 $((screen_w / 4)) $((screen_h / 8)) \
        $((screen_w / 2)) 40 | tr ' ' '\n' | awk -F= '$1 == "near" {print $2}'
}

menu_top=$(view_top)
[ "$menu_top" -gt 0 ] || fail "no menu bar at the start"
passed=0
for run in 1 2 3; do
    f11_burst 40
    sleep 3
    f11_burst 41
    settled on || fail "run $run: 81 presses of F11 did not end in full screen"
    geometry "$MAIN_WINDOW" | grep -q " $screen_w $screen_h\$" || fail "run $run: full screen does not cover the screen"
    if [ "$run" = 1 ]; then
        sleep 0.3
        shown=$(hint_pixels hint-shown)
        keep_png hint-shown
        [ "$shown" -gt 2000 ] || fail "no hint on how to leave full screen ($shown px)"
        sleep 3.5
        gone=$(hint_pixels hint-gone)
        [ "$gone" -lt 100 ] || fail "the hint stayed ($gone px)"
    fi
    xdotool key Escape
    settled off || fail "run $run: after Esc the window is $(geometry "$MAIN_WINDOW"), view at $(view_top), not as at the start"
    passed=$((passed + 1))
done
# An even burst from the window ends where it began, the menu bar there.
f11_burst 40
sleep 0.2
settled off || fail "40 presses of F11 did not end in the window with its menu bar"
passed=$((passed + 1))
expect_no_toolkit_warnings
echo "$passed passed, 0 failed"
