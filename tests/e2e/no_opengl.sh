#!/usr/bin/env bash
# On an X server without OpenGL the program says so, in a message and on the
# terminal, and exits with a non-zero status instead of showing an empty
# window. It starts its own X server without the GLX extension.
set -euo pipefail
TARVO_BIN=$1
ARTIFACTS=$3
mkdir -p "$ARTIFACTS"

exec 3< <(Xvfb -displayfd 1 -screen 0 800x600x24 -extension GLX -nolisten tcp 2>/dev/null)
read -r -t 10 number <&3 || { echo "FAIL: no X server" >&2; exit 1; }
export DISPLAY=:$number
xvfb_pid=$(pgrep -n -f "Xvfb -displayfd" || true)
cleanup() { [ -n "${tarvo_pid:-}" ] && kill "$tarvo_pid" 2>/dev/null; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; true; }
trap cleanup EXIT

"$TARVO_BIN" 2>"$ARTIFACTS/no-opengl.err" &
tarvo_pid=$!

# The message box appears at the top left of the bare X server: press its button.
for i in $(seq 1 100); do
    grep -q "OpenGL" "$ARTIFACTS/no-opengl.err" && break
    sleep 0.1
done
grep -q "OpenGL" "$ARTIFACTS/no-opengl.err" || { echo "FAIL: nothing said on the terminal" >&2; exit 1; }
sleep 1
import -window root -depth 8 "$ARTIFACTS/no-opengl.png"
for i in $(seq 1 20); do
    kill -0 "$tarvo_pid" 2>/dev/null || break
    xdotool key Return
    xdotool mousemove 60 60 click 1 mousemove 200 63 click 1
    sleep 0.5
done
if kill -0 "$tarvo_pid" 2>/dev/null; then
    echo "FAIL: the program did not end after the message" >&2
    exit 1
fi
status=0
wait "$tarvo_pid" || status=$?
tarvo_pid=
[ "$status" -ne 0 ] || { echo "FAIL: exit status 0 without OpenGL" >&2; exit 1; }
echo "exit status $status; said: $(cat "$ARTIFACTS/no-opengl.err")"
echo "1 passed, 0 failed"
