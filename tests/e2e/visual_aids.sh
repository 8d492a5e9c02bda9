#!/usr/bin/env bash
# The "表示" menu's aids, chosen as a person does, with the menu's keys: the
# back colour changes the strip and goes again; the marker shows, travels
# and goes with Esc; on the four-dimensional bottle the w colours replace
# the red and go again, and Space starts and stops the auto-turn. Keeps one
# picture of each for the README.
source "$(dirname "$0")/lib.sh"

# Toggles the item with mnemonic $1 of "表示(V)".
view_item() {
    xdotool key alt+v
    sleep 0.3
    xdotool key "$1"
    sleep 0.6
}

start_tarvo
read -r _ _ width height < <(geometry "$MAIN_WINDOW")
area=(0 "$MENU_HEIGHT" "$width" $((height - MENU_HEIGHT)))
sleep 0.3
shot plain

view_item b
shot back-colour
keep_png back-colour
# The red's partner, sky blue, lit: blue well above red.
[ "$(near back-colour 60 150 200 90)" -gt 500 ] || fail "no back side in the partner colour"
[ "$(count back-colour red)" -gt 1000 ] || fail "the front side lost its colour"
view_item b
shot back-colour-off
[ "$(differ plain back-colour-off "${area[@]}")" -eq 0 ] || fail "the back colour did not go"

view_item m
shot marker-1
sleep 0.7
shot marker-2
keep_png marker-2
[ "$(near marker-2 255 0 255 0)" -gt 30 ] || fail "no marker"
[ "$(differ marker-1 marker-2 "${area[@]}")" -gt 20 ] || fail "the marker does not travel"
xdotool key Escape
sleep 0.4
shot marker-gone
[ "$(near marker-gone 255 0 255 0)" -eq 0 ] || fail "Esc left the marker"
[ "$(differ plain marker-gone "${area[@]}")" -eq 0 ] || fail "the picture changed after Esc"

resolution=$(open_dialog r "解像度の設定")
click_dialog_units "$resolution" 20 45 246 135      # "四次元版Tarvoの壺"
click_dialog_units "$resolution" 210 17 246 135     # OK
sleep 0.8
xdotool keydown shift
drag 1 200 300 70 0
xdotool keyup shift
shot turned
view_item w
shot fourd-colours
keep_png fourd-colours
[ "$(count fourd-colours red)" -lt 50 ] || fail "the w colours left red faces"
[ "$(differ turned fourd-colours "${area[@]}")" -gt 1000 ] || fail "the w colours changed nothing"
view_item w
shot fourd-colours-off
[ "$(differ turned fourd-colours-off "${area[@]}")" -eq 0 ] || fail "the w colours did not go"

xdotool key space
sleep 0.5
shot turning-1
sleep 0.5
shot turning-2
keep_png turning-2
[ "$(differ turning-1 turning-2 "${area[@]}")" -gt 200 ] || fail "Space did not start the auto-turn"
xdotool key space
sleep 0.3
shot stopped-1
sleep 0.5
shot stopped-2
[ "$(differ stopped-1 stopped-2 "${area[@]}")" -eq 0 ] || fail "Space did not stop the auto-turn"
echo "4 passed, 0 failed"
