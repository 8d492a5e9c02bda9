#!/usr/bin/env bash
# Ctrl+C as another program sees it: a second process (xclip) asks the X
# clipboard for image/png and gets the view's picture, pixel for pixel.
source "$(dirname "$0")/lib.sh"
command -v xclip >/dev/null || fail "xclip is not installed (scripts/setup.sh installs it)"

start_window_manager
start_tarvo
read -r _ _ width height < <(geometry "$MAIN_WINDOW")
sleep 0.3
shot before-copy
xdotool key ctrl+c
sleep 0.5
targets=$(timeout 10 xclip -selection clipboard -o -t TARGETS) || fail "the clipboard has no owner"
grep -qx image/png <<<"$targets" || fail "no image/png among the clipboard's targets: $targets"
timeout 10 xclip -selection clipboard -o -t image/png >"$ARTIFACTS/copied.png" ||
    fail "reading image/png from the clipboard failed"
[ "$(head -c 8 "$ARTIFACTS/copied.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
    fail "what the clipboard gave is not a PNG file"
convert "$ARTIFACTS/copied.png" -depth 8 "$ARTIFACTS/copied.ppm"
read -r copied_w copied_h <<<"$(identify -format '%w %h' "$ARTIFACTS/copied.ppm")"
# The view fills the window below the menu bar.
[ "$copied_w" = "$width" ] && [ $((height - copied_h - MENU_HEIGHT)) -ge -2 ] &&
    [ $((height - copied_h - MENU_HEIGHT)) -le 2 ] ||
    fail "the copied picture is ${copied_w}x$copied_h, not the view of the ${width}x$height window"
convert "$ARTIFACTS/before-copy.ppm" -crop "${copied_w}x$copied_h+0+$((height - copied_h))" +repage \
    "$ARTIFACTS/view-before-copy.ppm"
off=$("$CHECK_BIN" diff "$ARTIFACTS/copied.ppm" "$ARTIFACTS/view-before-copy.ppm" |
      tr ' ' '\n' | awk -F= '$1 == "differ" {print $2}')
[ "$off" -eq 0 ] || fail "the copied picture differs from the screen in $off pixels"
echo "copied ${copied_w}x$copied_h, equal to the screen"
expect_no_toolkit_warnings
echo "2 passed, 0 failed"
