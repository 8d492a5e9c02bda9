#!/usr/bin/env bash
# Pictures a second while dragging in the running program: the
# four-dimensional bottle at 1000 x 1000 and 2000 x 2000 (a million and four
# million faces, the dialog's maximum) chosen through the resolution dialog,
# then each drag held for a few seconds with a steady stream of small
# motions, as a hand makes them: 3D turn (left), 4D turn (Shift + left), bar
# turn (Ctrl + left), move (both buttons), scale (right).
# Drives the built program with real input on an X server:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash bench/drag_fps.sh build [SECONDS] [SIDES]
# SECONDS a drag (4 unless given); SIDES the bottle's sides, "1000 2000"
# unless given.
#
# The program writes, when TARVO_FRAME_LOG names a file, one line a frame
# painted while a mouse button is held:
#   <ms from the earliest motion event not yet shown to the end of the swap> <faces drawn>
# From it each drag reports: pictures a second (frames logged / the drag's
# duration), the median and 90th percentile of those ms, and the faces drawn
# (fewer than the figure's when a coarser stand-in was shown). After the
# release it reports how long until the program fell idle, that is until the
# exact picture was drawn.
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
SECONDS_PER_DRAG=${2:-4}
SIDES=${3:-1000 2000}
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../tests/e2e/lib.sh" "$BUILD/tarvo" "$BUILD/tests/screenshot_check" \
    "$BUILD/bench-artifacts"

FRAME_LOG="$ARTIFACTS/frame-log.txt"
: >"$FRAME_LOG"
export TARVO_FRAME_LOG=$FRAME_LOG

STEP_MS=8     # one motion event every 8 ms (125 a second, a common mouse rate)
STEP_PX=3     # of 3 pixels: 375 pixels a second
LEG_STEPS=60  # then back the other way, so the figure stays in view

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# CPU time (clock ticks) the program has used, all its threads together.
cpu_ticks() {
    awk '{print $14 + $15}' "/proc/$TARVO_PID/stat"
}

# Waits until the program has used no CPU for $2 ms (at most $1 s); prints
# the ms from the call to its last activity.
wait_idle() {  # timeout seconds, quiet ms
    local start last_change ticks now previous
    start=$(now_ms)
    last_change=$start
    previous=$(cpu_ticks)
    while true; do
        sleep 0.05
        now=$(now_ms)
        ticks=$(cpu_ticks)
        if [ "$ticks" != "$previous" ]; then
            previous=$ticks
            last_change=$now
        elif [ $((now - last_change)) -ge "$2" ]; then
            echo $((last_change - start))
            return 0
        fi
        [ $((now - start)) -lt $(($1 * 1000)) ] || fail "the program never fell idle"
    done
}

# One xdotool process plays the whole drag: relative motions of STEP_PX
# along (ux, uy), LEG_STEPS one way and as many back, with STEP_MS between.
motion_commands() {  # ux uy steps
    local ux=$1 uy=$2 steps=$3 i sign=1 sleep_s
    sleep_s=$(awk -v ms="$STEP_MS" 'BEGIN {printf "%.3f", ms / 1000}')
    for i in $(seq 1 "$steps"); do
        printf 'mousemove_relative -- %d %d sleep %s ' \
            $((sign * ux * STEP_PX)) $((sign * uy * STEP_PX)) "$sleep_s"
        if [ $((i % LEG_STEPS)) -eq 0 ]; then
            sign=$((-sign))
        fi
    done
}

# The drag: modifier keys, buttons, the motion stream, release in reverse.
# Prints the drag's duration in ms and the idle wait after the release.
drag_held() {  # "keys" "buttons" ux uy
    local keys=$1 buttons=$2 ux=$3 uy=$4 k b steps start end settle w h
    read -r _ _ w h < <(geometry "$MAIN_WINDOW")
    xdotool mousemove --window "$MAIN_WINDOW" $((w / 2)) $(((h + MENU_HEIGHT) / 2))
    sleep 0.2
    steps=$((SECONDS_PER_DRAG * 1000 / STEP_MS))
    for k in $keys; do xdotool keydown "$k"; done
    start=$(now_ms)
    for b in $buttons; do xdotool mousedown "$b"; done
    # shellcheck disable=SC2046  # the commands are words on purpose
    xdotool $(motion_commands "$ux" "$uy" "$steps")
    for b in $buttons; do xdotool mouseup "$b"; done
    end=$(now_ms)
    for k in $keys; do xdotool keyup "$k"; done
    settle=$(wait_idle 120 500)
    echo "$((end - start)) $settle"
}

# Summary of the log lines from $1 on, over a drag of $2 ms.
report() {  # first line, duration ms, idle ms, label
    tail -n +"$1" "$FRAME_LOG" | awk -v ms="$2" -v idle="$3" -v label="$4" '
        NF >= 2 { t[n++] = $1; faces[$2]++ }
        END {
            if (n == 0) {
                printf "  %-10s no frames logged (is TARVO_FRAME_LOG written by this build?); idle %d ms after release\n", label, idle
                exit
            }
            # sort the times (insertion sort: a few hundred frames)
            for (i = 1; i < n; i++) { v = t[i]; for (j = i - 1; j >= 0 && t[j] > v; j--) t[j + 1] = t[j]; t[j + 1] = v }
            median = n % 2 ? t[int(n / 2)] : (t[n / 2 - 1] + t[n / 2]) / 2
            p90 = t[int(0.9 * (n - 1) + 0.5)]
            drawn = ""
            for (f in faces) drawn = drawn (drawn == "" ? "" : ", ") f " x" faces[f]
            printf "  %-10s %6.1f pictures/s  %4d frames in %5.2f s  event to swap: median %6.1f ms, 90%% %6.1f ms  %s  faces drawn: %s  exact picture: idle %d ms after release\n",
                label, n * 1000 / ms, n, ms / 1000, median, p90, (n * 1000 / ms >= 30 ? "(>= 30/s)" : "(BELOW 30/s)"), drawn, idle
        }'
}

choose_bottle() {  # side
    local resolution
    # Without a window manager the focus stays wherever the last dialog
    # left it; the menu keys need it on the main window.
    xdotool windowfocus --sync "$MAIN_WINDOW"
    resolution=$(open_dialog r "解像度の設定")
    click_dialog_units "$resolution" 20 45 246 135               # "四次元版Tarvoの壺"
    type_into_dialog_units "$resolution" 110 72 246 135 "$1"    # θ
    type_into_dialog_units "$resolution" 110 92 246 135 "$1"    # φ
    click_dialog_units "$resolution" 210 17 246 135              # OK
    wait_idle 300 1000 >/dev/null
}

start_tarvo
read -r _ _ view_w view_h < <(geometry "$MAIN_WINDOW")
echo "Drags of ${SECONDS_PER_DRAG} s, a ${STEP_PX}-pixel motion every ${STEP_MS} ms, on a ${view_w} x $((view_h - MENU_HEIGHT)) view"
echo "(faces drawn: count x frames; fewer than the figure's is the stand-in)"
for side in $SIDES; do
    choose_bottle "$side"
    echo "$side x $side bottle ($((side * side)) faces):"
    for gesture in "3D turn||1|1|1" "4D turn|shift|1|1|0" "bar turn|ctrl|1|1|1" \
                   "move||1 3|1|1" "scale||3|1|0"; do
        IFS='|' read -r label keys buttons ux uy <<<"$gesture"
        first=$(($(wc -l <"$FRAME_LOG") + 1))
        read -r duration idle < <(drag_held "$keys" "$buttons" "$ux" "$uy")
        report "$first" "$duration" "$idle" "$label"
    done
done
