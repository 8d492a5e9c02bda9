#!/usr/bin/env bash
# A person turns the strip with a plain drag, then in four dimensions with a
# Shift drag: the picture changes each time, the title and the menus do not.
source "$(dirname "$0")/lib.sh"

start_tarvo
read -r _ _ width height < <(geometry "$MAIN_WINDOW")
sleep 0.3
shot before

drag 1 200 300 120 40
shot after-turn
[ "$(differ before after-turn 0 "$MENU_HEIGHT" "$width" $((height - MENU_HEIGHT)))" -gt 500 ] ||
    fail "a plain drag did not change the picture"
[ "$(differ before after-turn 0 0 "$width" "$MENU_HEIGHT")" -eq 0 ] || fail "the menu bar changed"

xdotool keydown shift
drag 1 200 300 150 0
xdotool keyup shift
shot after-fourd
[ "$(differ after-turn after-fourd 0 "$MENU_HEIGHT" "$width" $((height - MENU_HEIGHT)))" -gt 500 ] ||
    fail "a Shift drag did not change the picture"
[ "$(differ after-turn after-fourd 0 0 "$width" "$MENU_HEIGHT")" -eq 0 ] || fail "the menu bar changed"
[ "$(xdotool getwindowname "$MAIN_WINDOW")" = "Tarvo" ] || fail "the title changed"
[ "$(count after-fourd red)" -gt 1000 ] || fail "the figure left the view"
echo "2 passed, 0 failed"
