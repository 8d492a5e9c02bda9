#!/usr/bin/env bash
# A person turns the strip with a plain drag, then in four dimensions with a
# Shift drag: the picture changes each time, the title and the menus do not.
# Then the same person moves it with keys and goes back to the start with Home.
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

# Real keys: Alt+arrows move the figure and leave the menus shut; Home brings
# back the start picture exactly.
xdotool key alt+Left alt+Up
sleep 0.5
shot after-keys
[ "$(differ after-fourd after-keys 0 "$MENU_HEIGHT" "$width" $((height - MENU_HEIGHT)))" -gt 500 ] ||
    fail "Alt+arrows did not move the figure"
[ "$(differ after-fourd after-keys 0 0 "$width" "$MENU_HEIGHT")" -eq 0 ] || fail "a menu opened"
xdotool key Home
sleep 0.5
shot after-home
[ "$(differ before after-home 0 0 "$width" "$height")" -eq 0 ] || fail "Home did not restore the start"
echo "3 passed, 0 failed"
