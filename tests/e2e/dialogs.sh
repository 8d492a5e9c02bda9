#!/usr/bin/env bash
# A person opens the colour dialog from the menu with the keyboard, ticks
# "背景白" and confirms: the background turns white. Then "半透明" with the
# bottle surface, and the resolution dialog with "四次元版Tarvoの壺" at counts
# 40 and 30, turned in four dimensions: the figure changes each time.
source "$(dirname "$0")/lib.sh"

start_tarvo
read -r _ _ width height < <(geometry "$MAIN_WINDOW")
VIEW=(0 "$MENU_HEIGHT" "$width" $((height - MENU_HEIGHT)))
AREA=$((width * (height - MENU_HEIGHT)))
sleep 0.3
shot before
[ "$(count before white)" -lt 200 ] || fail "the start background is not black"

colour=$(open_dialog c "色の指定")
click_dialog_units "$colour" 175 70 279 91      # "背景白"
click_dialog_units "$colour" 245 22 279 91      # OK
sleep 0.5
window_titled "色の指定" >/dev/null && fail "the colour dialog stayed open"
shot white
[ "$(count white white)" -gt $((AREA / 2)) ] || fail "the background did not turn white"
[ "$(count white red)" -gt 1000 ] || fail "the red figure is gone"

# The bottle surface, half-transparent on white.
colour=$(open_dialog c "色の指定")
click_dialog_units "$colour" 65 70 279 91       # "半透明"
click_dialog_units "$colour" 245 22 279 91      # OK
resolution=$(open_dialog r "解像度の設定")
click_dialog_units "$resolution" 20 30 246 135      # "Tarvoの壺"
click_dialog_units "$resolution" 210 17 246 135     # OK
sleep 0.8
shot translucent-bottle
keep_png translucent-bottle
[ "$(differ white translucent-bottle "${VIEW[@]}")" -gt 2000 ] || fail "the bottle did not appear"
# Blending over white lightens the red: pink shades that opaque red on
# white never has.
[ "$(count translucent-bottle other)" -gt 2000 ] || fail "no blended (pink) shades"

colour=$(open_dialog c "色の指定")
click_dialog_units "$colour" 65 70 279 91       # "半透明" off again
click_dialog_units "$colour" 245 22 279 91      # OK
resolution=$(open_dialog r "解像度の設定")
click_dialog_units "$resolution" 20 45 246 135      # "四次元版Tarvoの壺"
type_into_dialog_units "$resolution" 110 72 246 135 40     # θ
type_into_dialog_units "$resolution" 110 92 246 135 30     # φ
click_dialog_units "$resolution" 210 17 246 135     # OK
sleep 0.8
window_titled "解像度の設定" >/dev/null && fail "the resolution dialog stayed open"
shot fourd-bottle
keep_png fourd-bottle
[ "$(differ translucent-bottle fourd-bottle "${VIEW[@]}")" -gt 2000 ] || fail "the figure did not change"
[ "$(count fourd-bottle white)" -gt $((AREA / 3)) ] || fail "the white background was lost"

# Tilt the bar (Ctrl drag), then turn into the fourth dimension in its plane.
xdotool keydown ctrl
drag 1 200 300 -60 -40
xdotool keyup ctrl
xdotool keydown shift
drag 1 200 300 90 0
xdotool keyup shift
shot fourd-bottle-turned
keep_png fourd-bottle-turned
[ "$(differ fourd-bottle fourd-bottle-turned "${VIEW[@]}")" -gt 2000 ] ||
    fail "the Shift drag did not turn the bottle"
echo "4 passed, 0 failed"
