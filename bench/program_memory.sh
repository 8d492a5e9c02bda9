#!/usr/bin/env bash
# Resident size of the running program as a person uses it: showing the
# start strip, then the four-dimensional bottle at 1000 x 1000 (a million
# faces) chosen through the resolution dialog, turned in four dimensions,
# then made half-transparent through the colour dialog and turned again;
# then the same at the dialog's maximum, 2000 x 2000 (four million faces),
# with the peak resident size (VmHWM) of each step beside the settled one.
# Drives the built program with real input on an X server:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash bench/program_memory.sh build
#
# With --soak SECONDS it measures a long session instead: drags and
# four-dimensional turns, without pause, for SECONDS at 500 x 500 (250,000
# faces) and again for SECONDS at 1000 x 1000, printing the resident size
# every 30 s and at the end, over the start strip:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash bench/program_memory.sh --soak 600 build
set -euo pipefail
SOAK_SECONDS=
if [ "${1:-}" = --soak ]; then
    SOAK_SECONDS=${2:?--soak needs a number of seconds}
    shift 2
fi
BUILD=$(cd "${1:-build}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../tests/e2e/lib.sh" "$BUILD/tarvo" "$BUILD/tests/screenshot_check" \
    "$BUILD/bench-artifacts"

rss_kb() {
    awk '/^VmRSS:/ {print $2}' "/proc/$TARVO_PID/status"
}

peak_kb() {
    awk '/^VmHWM:/ {print $2}' "/proc/$TARVO_PID/status"
}

# Starts the peak resident size afresh from the present one (the kernel
# resets VmHWM when 5 is written to clear_refs); without that, the peak is
# the whole run's so far, and says so.
PEAK_SINCE="each step's own"
reset_peak() {
    echo 5 >"/proc/$TARVO_PID/clear_refs" 2>/dev/null || PEAK_SINCE="the whole run's so far"
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

# MB of 10^6 bytes, and bytes per face of a figure of $3 faces (a million
# unless given).
mb_over() {  # kB, base kB, [faces]
    awk -v a="$1" -v b="$2" -v f="${3:-1000000}" \
        'BEGIN {d = (a - b) * 1024; printf "%6.1f MB  (%.0f bytes a face)", d / 1e6, d / f}'
}

# Without a window manager nothing gives the focus back to the main window
# when a dialog closes; the menu keys need it there.
focus_main() {
    xdotool windowfocus --sync "$MAIN_WINDOW"
}

open_and_cancel() {  # menu key, dialog title
    focus_main
    open_dialog "$1" "$2" >/dev/null
    xdotool key Escape
    sleep 0.5
}

turn_in_four_dimensions() {  # pixels sideways
    xdotool keydown shift
    drag 1 300 300 "$1" 0
    xdotool keyup shift
}

choose_bottle() {  # side
    local resolution
    focus_main
    resolution=$(open_dialog r "解像度の設定")
    click_dialog_units "$resolution" 20 45 246 135                # "四次元版Tarvoの壺"
    type_into_dialog_units "$resolution" 110 72 246 135 "$1"     # θ
    type_into_dialog_units "$resolution" 110 92 246 135 "$1"     # φ
    click_dialog_units "$resolution" 210 17 246 135               # OK
}

toggle_translucent() {
    local colour
    focus_main
    colour=$(open_dialog c "色の指定")
    click_dialog_units "$colour" 65 70 279 91       # "半透明"
    click_dialog_units "$colour" 245 22 279 91      # OK
}

# Drags and four-dimensional turns without pause for $2 seconds on the
# $1 x $1 bottle, the resident size printed every 30 s and at the end.
soak() {  # side, seconds
    local faces=$(($1 * $1)) start now next=30 t
    choose_bottle "$1"
    settled_rss_kb >/dev/null
    reset_peak
    echo "Soak at $1 x $1 ($faces faces), over the start strip:"
    echo "  $(printf '%5d s' 0)  $(mb_over "$(rss_kb)" "$strip" "$faces")"
    start=$(date +%s)
    while true; do
        now=$(date +%s)
        t=$((now - start))
        if [ "$t" -ge "$next" ] && [ "$t" -lt "$2" ]; then
            echo "  $(printf '%5d s' "$t")  $(mb_over "$(rss_kb)" "$strip" "$faces")"
            next=$((next + 30))
        fi
        [ "$t" -lt "$2" ] || break
        drag 1 300 300 40 20
        turn_in_four_dimensions 60
        drag 1 300 300 -40 -20
        turn_in_four_dimensions -60
    done
    echo "  $(printf '%5d s' "$t")  $(mb_over "$(settled_rss_kb)" "$strip" "$faces")  settled;" \
        "peak $(mb_over "$(peak_kb)" "$strip" "$faces" | cut -d'(' -f1 | xargs) (VmHWM, $PEAK_SINCE)"
}

start_tarvo
# Both dialogs once, cancelled: the toolkit loads what they need (icons,
# the dialog font) on first use, and that belongs to neither figure.
open_and_cancel r "解像度の設定"
open_and_cancel c "色の指定"
strip=$(settled_rss_kb)

if [ -n "$SOAK_SECONDS" ]; then
    echo "The start strip: $(mb_over "$strip" 0 | cut -d'(' -f1 | xargs)"
    soak 500 "$SOAK_SECONDS"
    soak 1000 "$SOAK_SECONDS"
    exit 0
fi

choose_bottle 1000
opaque=$(settled_rss_kb)

turn_in_four_dimensions 60
turned=$(settled_rss_kb)

toggle_translucent
translucent=$(settled_rss_kb)

turn_in_four_dimensions -60
translucentTurned=$(settled_rss_kb)

echo "Resident size of the program beyond showing the start strip ($(mb_over "$strip" 0 | cut -d'(' -f1| xargs)):"
echo "  1000 x 1000 bottle, opaque                      $(mb_over "$opaque" "$strip")"
echo "  after a four-dimensional turn                   $(mb_over "$turned" "$strip")"
echo "  half-transparent                                $(mb_over "$translucent" "$strip")"
echo "  half-transparent after a four-dimensional turn  $(mb_over "$translucentTurned" "$strip")"

# The dialog's maximum, opaque then half-transparent, each step's peak
# beside its settled size.
max_faces=4000000
toggle_translucent
settled_rss_kb >/dev/null
reset_peak
choose_bottle 2000
maxOpaque=$(settled_rss_kb)
maxOpaquePeak=$(peak_kb)
reset_peak
turn_in_four_dimensions 60
maxTurned=$(settled_rss_kb)
maxTurnedPeak=$(peak_kb)
reset_peak
toggle_translucent
maxTranslucent=$(settled_rss_kb)
maxTranslucentPeak=$(peak_kb)
reset_peak
turn_in_four_dimensions -60
maxTranslucentTurned=$(settled_rss_kb)
maxTranslucentTurnedPeak=$(peak_kb)

peak_over() {  # kB: the peak over the start strip, and in all
    echo "$(mb_over "$1" "$strip" "$max_faces" | cut -d'(' -f1 | xargs)" \
        "($(mb_over "$1" 0 | cut -d'(' -f1 | xargs) in all)"
}
echo "The same at 2000 x 2000 ($max_faces faces), settled and peak (VmHWM, $PEAK_SINCE):"
echo "  2000 x 2000 bottle, opaque                      $(mb_over "$maxOpaque" "$strip" "$max_faces")  peak $(peak_over "$maxOpaquePeak")"
echo "  after a four-dimensional turn                   $(mb_over "$maxTurned" "$strip" "$max_faces")  peak $(peak_over "$maxTurnedPeak")"
echo "  half-transparent                                $(mb_over "$maxTranslucent" "$strip" "$max_faces")  peak $(peak_over "$maxTranslucentPeak")"
echo "  half-transparent after a four-dimensional turn  $(mb_over "$maxTranslucentTurned" "$strip" "$max_faces")  peak $(peak_over "$maxTranslucentTurnedPeak")"
