#!/usr/bin/env bash
# Cross-builds Tarvo for 64-bit Windows on Debian and leaves dist/tarvo.exe
# (one static program) and dist/tarvo-setup.exe (its installer).
#   bash scripts/windows.sh          build
#   bash scripts/windows.sh --test   build, then run the Windows tests under Wine
# Installs what is missing (Debian's packages only). wxWidgets for Windows is
# built once from Debian's own source package into a cache folder outside the
# tree, one folder per version and configure flags; a change of either builds
# it again. BUILD_DIR is the Linux build (default build), WINDOWS_BUILD_DIR the
# cross build (default build-windows).
set -euo pipefail
cd "$(dirname "$0")/.."

run_tests=false
case "${1:-}" in
  --test) run_tests=true ;;
  "") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

packages=(
  # The Linux build draws the icon and makes the tests' reference pictures.
  build-essential cmake pkg-config libwxgtk3.2-dev libgl-dev libegl-dev
  libgl1-mesa-dri libegl-mesa0 libglx-mesa0 libgtest-dev fonts-ipafont-gothic
  # Both builds compile the translations' catalogues into the program.
  gettext
  # The cross build and the installer.
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev nsis imagemagick dpkg-dev xz-utils
  # The tests.
  wine wine64 fonts-wine openbox xvfb xauth xdotool xclip x11-utils x11-apps
)
source scripts/install-packages.sh
install_missing_packages "${packages[@]}"

host=x86_64-w64-mingw32
# Static and small: Debian's source lacks wx's bundled image and compression
# libraries, and Tarvo needs none of them nor the larger controls.
wx_flags=(
  --host=$host --with-msw --disable-shared --enable-unicode --with-opengl
  --without-libpng --without-libjpeg --without-libtiff --without-expat
  --without-zlib --without-liblzma --disable-svg
  --disable-html --disable-xrc --disable-aui --disable-stc --disable-richtext
  --disable-propgrid --disable-ribbon --disable-webview --disable-mediactrl
)
# The same wxWidgets as the Linux build uses.
wx_version=$(dpkg-query -W -f='${Version}' libwxgtk3.2-dev)
wx_key=$(printf '%s\n' "${wx_flags[@]}" "$($host-g++-posix --version | head -n 1)" |
         sha256sum | cut -c1-12)
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/tarvo
wx_prefix=$cache_root/wx-msw-$wx_version-$wx_key

build_wx() {
  local work=$wx_prefix.work
  rm -rf "$wx_prefix" "$work"
  mkdir -p "$work/apt/lists/partial"
  # A private apt setup with source lines for this machine's own Debian
  # archive; the system's apt configuration is left as it is.
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
      "Created-By: Packages" "Origin: Debian" | sort -u | sed 's/^/deb-src /' \
      > "$work/apt/sources.list"
  local apt_opts=(-o "Dir::Etc::SourceList=$work/apt/sources.list"
                  -o "Dir::Etc::SourceParts=$work/apt/none"
                  -o "Dir::State::Lists=$work/apt/lists")
  # As root apt fetches as root: its sandbox user cannot enter this folder.
  [ "$(id -u)" -ne 0 ] || apt_opts+=(-o APT::Sandbox::User=root)
  apt-get "${apt_opts[@]}" update -qq
  (cd "$work" && apt-get "${apt_opts[@]}" source -qq "wxwidgets3.2=$wx_version" >/dev/null 2>&1)
  local src
  src=$(find "$work" -maxdepth 1 -type d -name 'wxwidgets3.2-*' | head -n 1)
  mkdir "$work/build"
  echo "Building wxWidgets $wx_version for Windows into $wx_prefix (once)"
  (cd "$work/build" &&
   CC=$host-gcc-posix CXX=$host-g++-posix \
     "$src/configure" --prefix="$wx_prefix" "${wx_flags[@]}" >configure.log 2>&1 &&
   nice -n 10 make -j2 >make.log 2>&1 &&
   make install >install.log 2>&1) || {
    echo "wxWidgets build failed; logs in $work/build" >&2
    exit 1
  }
  touch "$wx_prefix/.complete"
  rm -rf "$work"
}
[ -f "$wx_prefix/.complete" ] || build_wx

# The Linux build draws the icon (and, for the tests, the reference pictures).
linux_dir=${BUILD_DIR:-build}
win_dir=${WINDOWS_BUILD_DIR:-build-windows}
[ -f "$linux_dir/CMakeCache.txt" ] || cmake -S . -B "$linux_dir" >/dev/null
linux_targets=(tarvo_icons)
if $run_tests; then linux_targets+=(tarvo screenshot_check); fi
nice -n 10 cmake --build "$linux_dir" -j2 --target "${linux_targets[@]}" >/dev/null
mkdir -p "$win_dir"
icons=("$linux_dir"/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/tarvo.png)
[ "$win_dir/tarvo.ico" -nt "${icons[6]}" ] || convert "${icons[@]}" "$win_dir/tarvo.ico"

cmake -S . -B "$win_dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DTARVO_WX_PREFIX="$wx_prefix" -DTARVO_WINDOWS_ICON="$PWD/$win_dir/tarvo.ico" \
  -DTARVO_BUILD_TESTS=OFF >/dev/null
win_targets=(tarvo)
if $run_tests; then win_targets+=(tarvo_layout_check); fi
nice -n 10 cmake --build "$win_dir" -j2 --target "${win_targets[@]}"

mkdir -p dist
$host-strip -o dist/tarvo.exe "$win_dir/tarvo.exe"
# Nothing but Windows' own DLLs: no compiler runtime, no toolkit DLL.
system_dlls='^(kernel32|user32|gdi32|comdlg32|comctl32|advapi32|shell32|shlwapi|ole32|oleaut32|uuid|rpcrt4|winspool\.drv|winmm|version|ws2_32|winhttp|uxtheme|oleacc|imm32|opengl32|glu32|msvcrt|msimg32|dwmapi|gdiplus|api-ms-win-[a-z0-9-]+)\.?(dll)?$'
foreign=$($host-objdump -p dist/tarvo.exe | awk '/DLL Name:/ {print tolower($3)}' | grep -Ev "$system_dlls" || true)
if [ -n "$foreign" ]; then
  echo "dist/tarvo.exe needs DLLs that Windows does not have: $foreign" >&2
  exit 1
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win_dir/CMakeCache.txt")
makensis -V2 -DVERSION="$version" -DSOURCE_DIR="$PWD/dist" -DICON="$PWD/$win_dir/tarvo.ico" \
  -DOUTFILE="$PWD/dist/tarvo-setup.exe" packaging/windows/tarvo.nsi
ls -l dist/tarvo.exe dist/tarvo-setup.exe

if $run_tests; then
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    bash tests/windows/wine.sh "$PWD/dist" "$PWD/$linux_dir" "$PWD/$win_dir"
fi
