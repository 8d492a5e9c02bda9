#!/usr/bin/env bash
# A person opens the colour dialog from the menu with the keyboard, ticks
# "背景白" and confirms: the background turns white. Then the resolution
# dialog: "四次元版Tarvoの壺" with counts 40 and 30, confirmed: the figure changes.
source "$(dirname "$0")/lib.sh"

start_tarvo
read -r _ _ width height < <(geometry "$MAIN_WINDOW")
VIEW=(0 "$MENU_HEIGHT" "$width" $((height - MENU_HEIGHT)))
sleep 0.3
shot before
[ "$(count before white)" -lt 200 ] || fail "the start background is not black"

xdotool key alt+p
sleep 0.3
xdotool key c
colour=$(wait_for_window "色の指定")
click_dialog_units "$colour" 175 70 279 91      # "背景白"
click_dialog_units "$colour" 245 22 279 91      # OK
sleep 0.5
window_titled "色の指定" >/dev/null && fail "the colour dialog stayed open"
shot white
keep_png white
white=$(count white white)
echo "white background: $white px"
[ "$white" -gt $((width * (height - MENU_HEIGHT) / 2)) ] || fail "the background did not turn white"
[ "$(count white red)" -gt 1000 ] || fail "the red figure is gone"

xdotool key alt+p
sleep 0.3
xdotool key r
resolution=$(wait_for_window "解像度の設定")
click_dialog_units "$resolution" 20 45 246 135      # "四次元版Tarvoの壺"
click_dialog_units "$resolution" 110 72 246 135     # θ
xdotool key ctrl+a
xdotool type --delay 20 40
click_dialog_units "$resolution" 110 92 246 135     # φ
xdotool key ctrl+a
xdotool type --delay 20 30
click_dialog_units "$resolution" 210 17 246 135     # OK
sleep 0.8
window_titled "解像度の設定" >/dev/null && fail "the resolution dialog stayed open"
shot fourd-bottle
keep_png fourd-bottle
changed=$(differ white fourd-bottle "${VIEW[@]}")
echo "pixels changed by the new surface: $changed"
[ "$changed" -gt 2000 ] || fail "the figure did not change"
[ "$(count fourd-bottle white)" -gt $((width * (height - MENU_HEIGHT) / 3)) ] ||
    fail "the white background was lost"
echo "2 passed, 0 failed"
