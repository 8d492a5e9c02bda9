#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, unpacks it and
# checks that it holds a startable program, a valid menu entry and the icons.
#
#   check_package.sh <build dir> <version>
#
# Needs cpack, dpkg-deb, dpkg-shlibdeps, lintian, desktop-file-validate,
# ImageMagick's identify and convert, xdotool, and an X server in DISPLAY.
set -euo pipefail

build_dir=$1
version=$2
sizes=(16 24 32 48 64 128 256)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

work=$(mktemp -d)
program_pid=
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

[ -n "${DISPLAY:-}" ] || fail "no X server: DISPLAY is not set (run under xvfb-run)"

# --- the package ---------------------------------------------------------
# The package goes to a folder of its own, so a run never picks up an older
# package lying in the build folder.
if ! cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not build the package"
fi
shopt -s nullglob
debs=("$work"/out/*.deb)
shopt -u nullglob
[ ${#debs[@]} -eq 1 ] || fail "expected one .deb, found ${#debs[@]}"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "tarvo_${version}_${arch}.deb" ] ||
  fail "package file is $(basename "$deb"), expected tarvo_${version}_${arch}.deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tarvo ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', expected $version"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

# Depends as a list of package names, version constraints dropped.
depends=$(field Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/[[:space:]]//g' | sed '/^$/d')
for needed in libc6 libwxgtk3.2-1 libwxgtk-gl3.2-1 fonts-ipafont-gothic libgl1-mesa-dri; do
  grep -qx "$needed" <<<"$depends" || fail "Depends lacks $needed: $(field Depends)"
done
# The OpenGL library itself, whichever package the linker's libGL came from.
grep -qE '^(libgl1|libopengl0|libglx0)$' <<<"$depends" || fail "Depends names no OpenGL library"

# Debian's own checks: copyright, changelog, manual page, hardening, layout.
# Info tags are shown; errors and warnings fail.
lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1 || {
  cat "$work/lintian.log" >&2
  fail "lintian found errors or warnings"
}
grep '^I: ' "$work/lintian.log" || true

# --- its contents --------------------------------------------------------
root=$work/root
dpkg-deb -x "$deb" "$root"
[ -f "$root/usr/bin/tarvo" ] && [ -x "$root/usr/bin/tarvo" ] || fail "no executable usr/bin/tarvo"

desktop=$root/usr/share/applications/tarvo.desktop
[ -f "$desktop" ] || fail "no menu entry usr/share/applications/tarvo.desktop"
# Hints (such as two main categories) count as faults too.
validation=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
entry() { grep -m1 "^$1=" "$desktop" | cut -d= -f2-; }
[ "$(entry Name)" = Tarvo ] || fail "Name is '$(entry Name)'"
[ "$(entry Exec)" = tarvo ] || fail "Exec is '$(entry Exec)'"
[ "$(entry Icon)" = tarvo ] || fail "Icon is '$(entry Icon)'"
[ "$(entry Terminal)" = false ] || fail "Terminal is '$(entry Terminal)'"
[ "$(entry Categories)" = "Education;Math;" ] || fail "Categories is '$(entry Categories)'"
[ -n "$(entry Comment)" ] || fail "no English Comment"
# The Japanese comment must be Japanese: at least one character outside ASCII.
ja=$(grep -m1 '^Comment\[ja\]=' "$desktop" | cut -d= -f2- || true)
[ -n "$ja" ] || fail "no Comment[ja]"
LC_ALL=C grep -q '[^ -~]' <<<"$ja" || fail "Comment[ja] is plain ASCII: $ja"

# The catalogues, where the desktop's tools look for them.
for mo in "$build_dir"/po/*.mo; do
  language=$(basename "$mo" .mo)
  installed=$root/usr/share/locale/$language/LC_MESSAGES/tarvo.mo
  [ -f "$installed" ] || fail "no catalogue usr/share/locale/$language/LC_MESSAGES/tarvo.mo"
  cmp -s "$mo" "$installed" || fail "the installed $language catalogue is not the one built"
done

for size in "${sizes[@]}"; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/tarvo.png
  [ -f "$png" ] || fail "no icon ${size}x${size}"
  [ "$(identify -format '%m %wx%h' "$png")" = "PNG ${size}x${size}" ] ||
    fail "icon ${size}x${size} is $(identify -format '%m %wx%h' "$png")"
  # Rounded corners: transparent at the corner, opaque in the middle.
  corner=$(convert "$png" -format '%[fx:round(255*p{0,0}.a)]' info:)
  middle=$(convert "$png" -format "%[fx:round(255*p{$((size / 2)),$((size / 2))}.a)]" info:)
  [ "$corner" -eq 0 ] || fail "icon ${size}x${size}: corner alpha $corner, expected 0"
  [ "$middle" -eq 255 ] || fail "icon ${size}x${size}: middle alpha $middle, expected 255"
done
# Every icon size is drawn afresh, not one picture scaled: the files differ.
[ "$(for size in "${sizes[@]}"; do
       md5sum <"$root/usr/share/icons/hicolor/${size}x${size}/apps/tarvo.png"
     done | sort -u | wc -l)" -eq ${#sizes[@]} ] || fail "some icon sizes are identical files"

# --- the unpacked program starts and shows its window ---------------------
"$root/usr/bin/tarvo" >"$work/program.log" 2>&1 &
program_pid=$!
if ! window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$program_pid" --name '^Tarvo$' 2>/dev/null | head -n1) ||
   [ -z "$window" ]; then
  cat "$work/program.log" >&2
  fail "the unpacked program showed no window titled Tarvo within 30 s"
fi
kill -0 "$program_pid" 2>/dev/null || fail "the program exited after showing its window"
echo "package $(basename "$deb"): program, menu entry and ${#sizes[@]} icons; window $window shown"
