#!/usr/bin/env bash
# Resident size of the running program as a person uses it: showing the
# start strip, then the four-dimensional bottle at 1000 x 1000 (a million
# faces) chosen through the resolution dialog, turned in four dimensions,
# then made half-transparent through the colour dialog and turned again.
# Drives the built program with real input on an X server:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash bench/program_memory.sh build
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../tests/e2e/lib.sh" "$BUILD/tarvo" "$BUILD/tests/screenshot_check" \
    "$BUILD/bench-artifacts"

rss_kb() {
    awk '/^VmRSS:/ {print $2}' "/proc/$TARVO_PID/status"
}

# Waits until the resident size has not moved for a second (a million-face
# rebuild and paint take a while on a software rasteriser), then prints it.
settled_rss_kb() {
    local last now i
    last=$(rss_kb)
    for i in $(seq 1 120); do
        sleep 1
        now=$(rss_kb)
        if [ "$now" = "$last" ]; then
            echo "$now"
            return 0
        fi
        last=$now
    done
    fail "the resident size never settled"
}

# MB of 10^6 bytes, and bytes per face of the million-face figure.
mb_over() {  # kB, base kB
    awk -v a="$1" -v b="$2" \
        'BEGIN {d = (a - b) * 1024; printf "%6.1f MB  (%.0f bytes a face)", d / 1e6, d / 1e6}'
}

open_and_cancel() {  # menu key, dialog title
    open_dialog "$1" "$2" >/dev/null
    xdotool key Escape
    sleep 0.5
}

turn_in_four_dimensions() {  # pixels sideways
    xdotool keydown shift
    drag 1 300 300 "$1" 0
    xdotool keyup shift
}

start_tarvo
# Both dialogs once, cancelled: the toolkit loads what they need (icons,
# the dialog font) on first use, and that belongs to neither figure.
open_and_cancel r "解像度の設定"
open_and_cancel c "色の指定"
strip=$(settled_rss_kb)

resolution=$(open_dialog r "解像度の設定")
click_dialog_units "$resolution" 20 45 246 135                # "四次元版Tarvoの壺"
type_into_dialog_units "$resolution" 110 72 246 135 1000     # θ
type_into_dialog_units "$resolution" 110 92 246 135 1000     # φ
click_dialog_units "$resolution" 210 17 246 135               # OK
opaque=$(settled_rss_kb)

turn_in_four_dimensions 60
turned=$(settled_rss_kb)

colour=$(open_dialog c "色の指定")
click_dialog_units "$colour" 65 70 279 91       # "半透明"
click_dialog_units "$colour" 245 22 279 91      # OK
translucent=$(settled_rss_kb)

turn_in_four_dimensions -60
translucentTurned=$(settled_rss_kb)

echo "Resident size of the program beyond showing the start strip ($(mb_over "$strip" 0 | cut -d'(' -f1| xargs)):"
echo "  1000 x 1000 bottle, opaque                      $(mb_over "$opaque" "$strip")"
echo "  after a four-dimensional turn                   $(mb_over "$turned" "$strip")"
echo "  half-transparent                                $(mb_over "$translucent" "$strip")"
echo "  half-transparent after a four-dimensional turn  $(mb_over "$translucentTurned" "$strip")"
