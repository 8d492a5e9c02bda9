#!/usr/bin/env bash
# Installs whatever the build and the tests need that is missing (Debian's
# packages only), then configures and builds into build/ (or $BUILD_DIR).
# Extra arguments are passed to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libgtest-dev libbenchmark-dev
  fonts-ipafont-gothic locales
  xvfb xauth xdotool x11-utils imagemagick desktop-file-utils dpkg-dev openbox
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
