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
# package; librsvg2-common lets GTK load the theme's SVG icons in dialogs.
packages=(
  build-essential cmake pkg-config file
  libwxgtk3.2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  fonts-ipafont-gothic librsvg2-common zlib1g-dev
)
# The tests' tools; VTK and NumPy for Python let the benchmark draw the same
# surface with VTK for comparison (bench/vtk_frames.py).
if [ "$with_tests" = yes ]; then
  packages+=(
    libgtest-dev libbenchmark-dev locales
    xvfb xauth xdotool x11-utils imagemagick desktop-file-utils dpkg-dev lintian openbox
    python3-vtk9 python3-numpy
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# apt's messages in English whatever the user's locale (generated or not),
# so that the lines worth showing can be picked out.
apt_env=(env LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
apt_options=(-o DPkg::Lock::Timeout=600 -o Dpkg::Use-Pty=0)

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    as_root=()
  elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  else
    echo "Missing packages: ${missing[*]}" >&2
    echo "There is no sudo here; as root, run:" >&2
    echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    echo "then run this command again." >&2
    exit 1
  fi
  echo "Installing ${#missing[@]} packages and what they need: ${missing[*]}"
  echo "Updating apt's package lists"
  "${as_root[@]}" "${apt_env[@]}" apt-get -q "${apt_options[@]}" update |
    awk '/^(Err|W|E):/ { print; fflush() }'
  # Shown: what is downloaded, one line a package, and the totals. apt's
  # package lists and dpkg's lines for each package are kept in a log that
  # is shown only if apt fails.
  apt_log=$(mktemp)
  if ! "${as_root[@]}" "${apt_env[@]}" apt-get "${apt_options[@]}" install -y --no-install-recommends \
      "${missing[@]}" 2>&1 | tee "$apt_log" |
      awk '/^(Get:|Need to get|After this operation|Fetched|E:|W:)/ || / newly installed, / { print; fflush() }
           /^Fetched/ { print "Unpacking and setting up the packages (dpkg)"; fflush() }'; then
    tail -n 60 "$apt_log" >&2
    rm -f "$apt_log"
    echo "apt-get could not install the packages" >&2
    exit 1
  fi
  rm -f "$apt_log"
fi

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
