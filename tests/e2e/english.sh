#!/usr/bin/env bash
# On a desktop whose language is English the program speaks English: the
# two settings dialogs open with the English menus' keys, under English
# titles, wider than the Japanese ones for the longer texts, while the
# figure is drawn exactly as in Japanese. --lang=ja overrides the desktop,
# and "言語 / Language" switches back while the program runs.
source "$(dirname "$0")/lib.sh"

# An English desktop, whatever the caller's: LANGUAGE comes first.
export LANGUAGE=en_GB:en LC_ALL= LC_MESSAGES= LANG=C.UTF-8

stop_tarvo() {
    kill "$TARVO_PID"
    wait "$TARVO_PID" 2>/dev/null || true
    TARVO_PID=
}

dialog_shot() {  # window name
    import -window "$1" "$ARTIFACTS/$2.png"
}

start_window_manager
start_tarvo --lang=ja
read -r _ _ width height < <(geometry "$MAIN_WINDOW")
VIEW=(0 "$MENU_HEIGHT" "$width" $((height - MENU_HEIGHT)))
sleep 0.3
shot japanese-start
japanese=$(open_dialog r "解像度の設定")
dialog_shot "$japanese" japanese-resolution
read -r _ _ japanese_width _ < <(geometry "$japanese")
xdotool key Escape
stop_tarvo

start_tarvo
sleep 0.3
shot english-start
[ "$(differ japanese-start english-start "${VIEW[@]}")" -eq 0 ] ||
    fail "the figure is drawn differently in English"

xdotool key alt+s
sleep 0.3
xdotool key r
resolution=$(wait_for_window "Surface and Resolution")
sleep 0.3
dialog_shot "$resolution" english-resolution
read -r _ _ english_width _ < <(geometry "$resolution")
[ "$english_width" -gt "$japanese_width" ] ||
    fail "the English resolution dialog ($english_width px) is no wider than the Japanese ($japanese_width px)"
xdotool key Escape
sleep 0.3

xdotool key alt+s
sleep 0.3
xdotool key c
colour=$(wait_for_window "Colours")
sleep 0.3
dialog_shot "$colour" english-colour
xdotool key Escape
sleep 0.3

# "&View" → "&Language / 言語" → "日本語(&J)": Japanese again at once.
xdotool key alt+v
sleep 0.3
xdotool key l
sleep 0.3
xdotool key j
sleep 0.5
open_dialog r "解像度の設定" >/dev/null
xdotool key Escape
echo "4 passed, 0 failed"
