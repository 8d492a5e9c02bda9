#!/usr/bin/env bash
# Sets up (with the test tools), builds and runs every test. One Xvfb serves
# the whole run: the window and end-to-end tests use it, the OpenGL tests
# render offscreen on Mesa.
# BUILD_DIR chooses the build folder; extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --tests "$@"
build_dir=${BUILD_DIR:-build}
export EGL_PLATFORM=surfaceless
# Sanitized builds: leaks inside the system's libraries are not ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# Xvfb picks a display number no other X server holds (-displayfd), which
# also works where another server's socket is not visible in /tmp.
xvfb_pid=
xvfb_dir=$(mktemp -d)
stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$xvfb_dir"
}
trap stop_xvfb EXIT
mkfifo "$xvfb_dir/display"
# -noreset: by default the server resets whenever its last client leaves,
# and a test program connecting during that reset is turned away ("Unable
# to initialize GTK+").
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$xvfb_dir/display" \
  >"$xvfb_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
if ! read -r -t 30 display <"$xvfb_dir/display"; then
  cat "$xvfb_dir/xvfb.log" >&2
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=:$display
echo "Testing in $build_dir/ on Xvfb display $DISPLAY with $(nproc) jobs"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
