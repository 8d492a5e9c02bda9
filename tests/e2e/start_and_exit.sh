#!/usr/bin/env bash
# A person starts Tarvo from a terminal on a desktop with a window manager,
# sees the lit red strip with its grey bar on black in a window titled
# "Tarvo" and no warning in the terminal, and leaves through the File menu.
source "$(dirname "$0")/lib.sh"

start_window_manager
start_tarvo
[ "$(xdotool getwindowname "$MAIN_WINDOW")" = "Tarvo" ] || fail "title is not Tarvo"

sleep 0.5
shot start-strip
keep_png start-strip
red=$(count start-strip red)
grey=$(count start-strip grey)
black=$(count start-strip black)
other=$(count start-strip other)
echo "start: red=$red grey=$grey black=$black other=$other"
[ "$red" -gt 3000 ] || fail "too little red figure ($red px)"
[ "$grey" -gt 300 ] || fail "no grey bar ($grey px)"
[ "$black" -gt $((red * 5)) ] || fail "the background is not black"
[ "$(count start-strip white)" -lt 200 ] || fail "white pixels on the black view"

xdotool key alt+f
sleep 0.5
xdotool key x
expect_exit_within 10
expect_no_toolkit_warnings
echo "3 passed, 0 failed"
