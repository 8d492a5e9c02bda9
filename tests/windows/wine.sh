#!/usr/bin/env bash
# Tarvo for Windows under Wine, side by side with the Linux build on the same
# X server: the start picture and the pictures after a plain and a Shift drag
# equal the Linux build's at the same view size; the menu's and the dialogs'
# Japanese texts are drawn with a real font; both dialogs open from the menu
# by keyboard; Ctrl+C puts the view's picture on the clipboard as a bitmap
# that X programs read; the exit item quits with status 0; for a user whose
# Windows speaks English the program does too, and every dialog text fits its
# control in both languages at 100 % and 200 %; the installer installs
# silently, the installed program starts, and the uninstaller removes all it
# put there.
# Usage, on an X server: wine.sh DIST_DIR LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
dist=$1
linux_build=$2
win_build=$3
source "$(dirname "$0")/../e2e/lib.sh" "$linux_build/tarvo" \
    "$linux_build/tests/screenshot_check" "$win_build/tests/artifacts"

# A Wine of its own: prefix under the build folder, made afresh; no Mono or
# Gecko downloads; no menu entries written into the user's desktop.
export WINEPREFIX=$win_build/wine-prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8
WM_PID=
finish() {
    cleanup
    wineserver -k 2>/dev/null || true
    [ -z "$WM_PID" ] || kill "$WM_PID" 2>/dev/null || true
}
trap finish EXIT

# Focus and keyboard input to Wine's windows need a window manager.
openbox --sm-disable >/dev/null 2>&1 &
WM_PID=$!
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
# Japanese fonts: the dialogs ask for "ＭＳ Ｐゴシック", which only Japanese
# Windows has, and the menus use the system font, which has no Japanese
# glyphs; both are mapped to IPA P Gothic.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "ＭＳ Ｐゴシック" /d IPAPGothic /f >/dev/null
for face in Tahoma "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d "ipagp.ttf,IPAPGothic" /f >/dev/null
done
wineserver -w

# The Windows user's language, from the locale Wine is started in: Japanese
# for the program's own texts; the C locale gives Wine's default, English.
WINE_LOCALE=ja_JP.UTF-8
# Where Wine keeps the screen's density (winecfg's setting).
FONTS_KEY='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'

# The largest child window of X window $1, as "WINDOW X Y W H".
largest_child() {
    xwininfo -id "$1" -children |
        awk '/^ +0x/ {g = $0; sub(/.*\) +/, "", g); split(g, s, /[x+]/);
                      if (s[1] * s[2] > best) {best = s[1] * s[2]; line = $1 " " s[3] " " s[4] " " s[1] " " s[2]}}
             END {if (line) print line}'
}

# Wine 8 draws a child window's OpenGL into an offscreen X window, a child of
# its 1 x 1 window at -1, -1, and does not copy it to the screen.
offscreen_gl_window() {
    local parent
    for parent in $(xwininfo -root -children | awk '/ 1x1\+-1\+-1 / {print $1}'); do
        largest_child "$parent"
    done | awk '$4 * $5 > best {best = $4 * $5; line = $0} END {if (line) print line}'
}

# Starts $1 under Wine and waits for its main window and its drawn view;
# one retry, for a first start that stalls while Wine sets itself up.
start_wine_tarvo() {
    local attempt
    WINDOW_CLASS=tarvo.exe
    for attempt in 1 2; do
        LC_ALL=$WINE_LOCALE wine "$1" >/dev/null 2>&1 &
        TARVO_PID=$!
        if MAIN_WINDOW=$(wait_for_window Tarvo) && wait_for_view; then
            # Keys go to the focused window: the window manager may not have
            # given the new one the focus.
            xdotool windowactivate --sync "$MAIN_WINDOW" 2>/dev/null ||
                xdotool windowfocus --sync "$MAIN_WINDOW"
            return 0
        fi
        echo "start $attempt of $1 failed; retrying" >&2
        cleanup
        wineserver -k 2>/dev/null || true
    done
    fail "$1 did not start under Wine"
}

# Waits for the figure in the view. Where this Wine shows the OpenGL view on
# screen, it is read there; else from the offscreen window. Sets VIEW (the X
# window read), VIEW_LEFT and VIEW_TOP (where the compared part of the view
# starts in it), VIEW_W and VIEW_H, and MENU_TOP (where the view starts in
# the main window).
wait_for_view() {
    local i window x y
    for i in $(seq 1 100); do
        if read -r window x y VIEW_W VIEW_H < <(offscreen_gl_window) &&
           import -window "$window" -depth 8 "$ARTIFACTS/wine-probe.ppm" 2>/dev/null &&
           [ "$(count_region wine-probe red)" -gt 1000 ]; then
            break
        fi
        sleep 0.2
    done
    [ "$i" -lt 100 ] || { echo "no OpenGL picture in an offscreen window" >&2; return 1; }
    read -r _ _ _ h < <(geometry "$MAIN_WINDOW")
    MENU_TOP=$((h - VIEW_H))
    shot wine-screen
    if [ "$(count_region wine-screen red 0 "$MENU_TOP" "$VIEW_W" "$VIEW_H")" -gt 1000 ]; then
        echo "this Wine shows the OpenGL view on screen: checking it there"
        VIEW=$MAIN_WINDOW VIEW_LEFT=1 VIEW_TOP=$((MENU_TOP + 1))
    else
        echo "this Wine ($(wine --version)) shows no OpenGL on screen: reading its offscreen window"
        VIEW=$window VIEW_LEFT=0 VIEW_TOP=0
    fi
}

count_region() {  # shot class [X Y W H]
    "$CHECK_BIN" count "$ARTIFACTS/$1.ppm" "${@:3}" | tr ' ' '\n' |
        awk -F= -v k="$2" '$1 == k {print $2}'
}

# The view's picture but its first row and column as $ARTIFACTS/$1.ppm:
# the offscreen window lies at -1, -1 on the screen, and X reads only the
# part on the screen.
view_shot() {
    import -window "$VIEW" -depth 8 "$ARTIFACTS/$1-full.ppm"
    convert "$ARTIFACTS/$1-full.ppm" -crop "$((VIEW_W - 1))x$((VIEW_H - 1))+$VIEW_LEFT+$VIEW_TOP" \
        +repage "$ARTIFACTS/$1.ppm"
}

# The two drags every picture set is taken with, in view coordinates.
drag_pictures() {  # prefix, view top in the main window
    sleep 0.5
    view_shot "$1-start"
    drag 1 200 $((276 + $2)) 120 0
    view_shot "$1-turned"
    xdotool keydown shift
    drag 1 200 $((276 + $2)) 150 0
    xdotool keyup shift
    view_shot "$1-fourd"
}

# Text drawn with a real font: at least $2 pieces, half of them distinct
# (text drawn as boxes repeats one shape).
expect_real_text() {  # shot, minimum pieces, X Y W H, what
    local glyphs distinct
    read -r glyphs distinct < <("$CHECK_BIN" glyphs "$ARTIFACTS/$1.ppm" "${@:3:4}" |
                                tr '=' ' ' | awk '{print $2, $4}')
    echo "$7: $glyphs pieces, $distinct distinct"
    [ "$glyphs" -ge "$2" ] && [ $((distinct * 2)) -ge "$glyphs" ] ||
        fail "$7 is not drawn with a Japanese font"
}

# --- The program from dist ---------------------------------------------------
start_wine_tarvo "$dist/tarvo.exe"
passed=0
xdotool windowactivate --sync "$MAIN_WINDOW" 2>/dev/null || xdotool windowfocus --sync "$MAIN_WINDOW"
shot wine-menu
keep_png wine-menu
expect_real_text wine-menu 12 0 0 "$VIEW_W" "$MENU_TOP" "the menu bar"
passed=$((passed + 1))

resolution=$(open_dialog r "解像度の設定")
shot_window() { import -window "$1" -depth 8 "$ARTIFACTS/$2.ppm"; keep_png "$2"; }
shot_window "$resolution" wine-resolution
read -r _ _ w h < <(geometry "$resolution")
japanese_resolution_width=$w
# The three surface names beside their radio buttons (dialog units 21-110, 8-52).
expect_real_text wine-resolution 9 $((21 * w / 246)) $((8 * h / 135)) $((89 * w / 246)) \
    $((44 * h / 135)) "the resolution dialog"
xdotool key Escape
colour=$(open_dialog c "色の指定")
shot_window "$colour" wine-colour
read -r _ _ w h < <(geometry "$colour")
# "背景白" beside its check box (dialog units 179-216, 63-77).
expect_real_text wine-colour 3 $((179 * w / 279)) $((63 * h / 91)) $((37 * w / 279)) \
    $((14 * h / 91)) "the colour dialog"
xdotool key Escape
sleep 0.5
window_titled "色の指定" >/dev/null && fail "the colour dialog stayed open"
passed=$((passed + 1))

drag_pictures wine "$MENU_TOP"
# Ctrl+C as another program reads it: Wine hands the Windows clipboard's
# device-independent bitmap (CF_DIB) to X as image/bmp.
xdotool key ctrl+c
sleep 1
timeout 10 xclip -selection clipboard -o -t TARGETS | grep -qx image/bmp ||
    fail "the Windows clipboard offers no bitmap"
timeout 10 xclip -selection clipboard -o -t image/bmp >"$ARTIFACTS/wine-copied.bmp" ||
    fail "reading the copied bitmap failed"
convert "$ARTIFACTS/wine-copied.bmp" -depth 8 "$ARTIFACTS/wine-copied-full.ppm"
[ "$(identify -format '%wx%h' "$ARTIFACTS/wine-copied-full.ppm")" = "${VIEW_W}x$VIEW_H" ] ||
    fail "the copied bitmap is not the view's ${VIEW_W}x$VIEW_H"
# The view's shot lacks one row and one column; the copy is compared at
# both places it may line up with it.
best=
for offset in 0 1; do
    convert "$ARTIFACTS/wine-copied-full.ppm" -crop "$((VIEW_W - 1))x$((VIEW_H - 1))+$offset+$offset" \
        +repage "$ARTIFACTS/wine-copied.ppm"
    off=$("$CHECK_BIN" diff "$ARTIFACTS/wine-copied.ppm" "$ARTIFACTS/wine-fourd.ppm" |
          tr ' ' '\n' | awk -F= '$1 == "differ" {print $2}')
    [ -n "$best" ] && [ "$best" -le "$off" ] || best=$off
done
echo "copied bitmap: $best pixels differ from the view"
[ $((best * 500)) -le $(((VIEW_W - 1) * (VIEW_H - 1))) ] || fail "the copied bitmap is not the view's picture"
passed=$((passed + 1))
xdotool key alt+f
sleep 0.5
xdotool key x
expect_exit_within 15
passed=$((passed + 1))

# --- A Windows that speaks English --------------------------------------------
WINE_LOCALE=C.UTF-8
start_wine_tarvo "$dist/tarvo.exe"
shot wine-english-menu
keep_png wine-english-menu
xdotool key alt+s
sleep 0.5
xdotool key r
resolution=$(wait_for_window "Surface and Resolution")
shot_window "$resolution" wine-english-resolution
read -r _ _ w _ < <(geometry "$resolution")
[ "$w" -gt "$japanese_resolution_width" ] ||
    fail "the English resolution dialog ($w px) is no wider than the Japanese ($japanese_resolution_width px)"
xdotool key Escape
sleep 0.5
xdotool key alt+f
sleep 0.5
xdotool key x
expect_exit_within 15
WINE_LOCALE=ja_JP.UTF-8
passed=$((passed + 1))

# --- Every dialog text fits, in both languages, at 100 % and 200 % ----------
for dpi in 96 192; do
    wine reg add "$FONTS_KEY" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    wineserver -w
    wine "$win_build/tarvo_layout_check.exe" >"$ARTIFACTS/layout-$dpi.txt" 2>&1 || {
        cat "$ARTIFACTS/layout-$dpi.txt" >&2
        fail "dialog texts do not fit at $dpi dpi"
    }
    grep -q " at $dpi dpi" "$ARTIFACTS/layout-$dpi.txt" || {
        cat "$ARTIFACTS/layout-$dpi.txt" >&2
        fail "the layout check did not run at $dpi dpi"
    }
    tail -n 1 "$ARTIFACTS/layout-$dpi.txt"
done
wine reg add "$FONTS_KEY" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
wineserver -w
passed=$((passed + 1))

# --- The Linux build at the same view size -----------------------------------
WINDOW_CLASS=
start_tarvo
read -r _ _ menu_top _ _ < <(largest_child "$MAIN_WINDOW")
xdotool windowsize --sync "$MAIN_WINDOW" "$VIEW_W" $((VIEW_H + menu_top))
sleep 0.5
read -r _ _ _ w h < <(largest_child "$MAIN_WINDOW")
[ "$w $h" = "$VIEW_W $VIEW_H" ] || fail "the Linux view is ${w}x$h, not ${VIEW_W}x$VIEW_H"
VIEW=$MAIN_WINDOW VIEW_LEFT=1 VIEW_TOP=$((menu_top + 1))
drag_pictures linux "$menu_top"
cleanup
[ "$(differ linux-start linux-turned)" -gt 500 ] || fail "the Linux drag did not turn the figure"
area=$(((VIEW_W - 1) * (VIEW_H - 1)))
for picture in start turned fourd; do
    off=$("$CHECK_BIN" diff "$ARTIFACTS/wine-$picture.ppm" "$ARTIFACTS/linux-$picture.ppm" \
          0 0 "$VIEW_W" "$VIEW_H" 8 | tr ' ' '\n' | awk -F= '$1 == "differ" {print $2}')
    echo "$picture: $off of $area pixels differ from Linux"
    [ $((off * 500)) -le "$area" ] || {  # 0.2 %
        keep_png "wine-$picture"; keep_png "linux-$picture"
        fail "the $picture picture differs from the Linux build's"
    }
done
passed=$((passed + 1))

# --- Installer -----------------------------------------------------------------
user_files() { (cd "$WINEPREFIX/drive_c/users" && find . -path '*/Temp' -prune -o -print | sort); }
user_files > "$ARTIFACTS/files-before"
wine "$dist/tarvo-setup.exe" /S
wineserver -w
programs=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%\Programs\Tarvo' | tr -d '\r')")
[ -f "$programs/tarvo.exe" ] || fail "the installer put no tarvo.exe into $programs"
start_menu=$(winepath -u "$(wine cmd /c 'echo %APPDATA%\Microsoft\Windows\Start Menu\Programs' | tr -d '\r')")
[ -f "$start_menu/Tarvo.lnk" ] || fail "no Start-menu shortcut"
uninstall=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo' \
            /v QuietUninstallString | tr -d '\r' | awk '/REG_SZ/ {sub(/.*REG_SZ +/, ""); print}')
[ -n "$uninstall" ] || fail "the uninstaller is not in the list of programs"
start_wine_tarvo "$programs/tarvo.exe"
xdotool key alt+f
sleep 0.5
xdotool key x
expect_exit_within 15
# The uninstaller runs from a copy in Temp and returns at once.
uninstall_exe=${uninstall#\"}
uninstall_exe=${uninstall_exe%%\"*}
[ "$uninstall" = "\"$uninstall_exe\" /S" ] || fail "unexpected quiet uninstall command: $uninstall"
wine "$uninstall_exe" /S
for i in $(seq 1 100); do
    [ -e "$programs" ] || break
    sleep 0.2
done
wineserver -w
user_files > "$ARTIFACTS/files-after"
diff "$ARTIFACTS/files-before" "$ARTIFACTS/files-after" || fail "the uninstaller left files behind"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo' >/dev/null 2>&1 &&
    fail "the uninstaller left its registry key"
passed=$((passed + 1))
echo "$passed passed, 0 failed"
