#!/usr/bin/env bash
# Installs whatever is missing (Debian's packages only), then configures and
# builds into build/ (or $BUILD_DIR).
#
#   setup.sh [--tests] [CMake configure arguments...]
#
# Without --tests only what building, packaging and running the viewer needs
# is installed; --tests adds the test tools and builds the tests too.
set -euo pipefail
cd "$(dirname "$0")/.."

with_tests=no
if [ "${1:-}" = --tests ]; then
  with_tests=yes
  shift
fi

# Building and running. `file` is used by CPack when it makes the Debian
# package; librsvg2-common lets GTK load the theme's SVG icons in dialogs;
# gettext makes and compiles the translations' catalogues.
packages=(
  build-essential cmake pkg-config file gettext
  libwxgtk3.2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  fonts-ipafont-gothic librsvg2-common zlib1g-dev
)
# The tests' tools; VTK and NumPy for Python let the benchmark draw the same
# surface with VTK for comparison (bench/vtk_frames.py).
if [ "$with_tests" = yes ]; then
  packages+=(
    libgtest-dev libbenchmark-dev locales
    xvfb xauth xdotool xclip x11-utils imagemagick desktop-file-utils dpkg-dev lintian openbox
    python3-vtk9 python3-numpy
  )
fi

source scripts/install-packages.sh
install_missing_packages "${packages[@]}"

build_dir=${BUILD_DIR:-build}
configure=()
if [ "$with_tests" = yes ]; then
  configure+=(-DTARVO_BUILD_TESTS=ON)
elif [ ! -f "$build_dir/CMakeCache.txt" ]; then
  # A first build for running only: the tests need GoogleTest, not installed.
  configure+=(-DTARVO_BUILD_TESTS=OFF)
fi
echo "Configuring with CMake in $build_dir/"
configure_log=$(mktemp)
cmake -S . -B "$build_dir" "${configure[@]}" "$@" >"$configure_log" 2>&1 || {
  cat "$configure_log" >&2
  rm -f "$configure_log"
  exit 1
}
rm -f "$configure_log"
echo "Building in $build_dir/ with $(nproc) jobs"
cmake --build "$build_dir" -j"$(nproc)"
