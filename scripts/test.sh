#!/usr/bin/env bash
# Sets up, builds and runs every test. The window tests get their own X
# server (Xvfb); the OpenGL tests render offscreen on Mesa.
# BUILD_DIR chooses the build folder; extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh "$@"
build_dir=${BUILD_DIR:-build}
export EGL_PLATFORM=surfaceless
# Sanitized builds: leaks inside the system's libraries are not ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
