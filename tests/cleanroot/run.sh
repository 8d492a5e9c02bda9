#!/usr/bin/env bash
# The README's promise on a clean system. Makes a minimal Debian 12 root with
# debootstrap and, in it, runs the README's commands as they stand there:
#
#   1. as a user without sudo, the run command must print the apt command for
#      root and fail;
#   2. as a user with sudo, in a UTF-8 locale that is not generated, the run
#      command must install, build and show the start picture;
#   3. as root, in the POSIX locale, the test command must pass;
#   4. the Install section's package command must make the .deb;
#   5. in a second clean root without build tools, the package is installed
#      with apt, /usr/bin/tarvo must show the start picture (C.UTF-8), and
#      apt remove and autoremove must leave no file of it and no package
#      that was not there before.
#
# Needs root. The windows are shown on an Xvfb of this machine, which the
# programs in the roots reach through its abstract socket. Every command in a
# root runs in its own mount and PID namespaces, so its mounts and processes
# end with it, also when a step fails.
#
# TARVO_CLEANROOT_DIR chooses the work folder (default: a new one under
# /var/tmp), removed at the end unless TARVO_CLEANROOT_KEEP=1.
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
suite=bookworm
[ "$(id -u)" -eq 0 ] || { echo "the clean-system check needs root" >&2; exit 1; }

work=${TARVO_CLEANROOT_DIR:-$(mktemp -d /var/tmp/tarvo-cleanroot.XXXXXX)}
mkdir -p "$work"
work=$(cd "$work" && pwd)
artifacts=$repo/build/cleanroot
mkdir -p "$artifacts"
root1=$work/root1
root2=$work/root2

background_pids=()
xvfb_pid=
timings=()

# What is still mounted below the work folder, deepest first.
mounts_below_work() {
  findmnt -rn -o TARGET | awk -v w="$work/" 'index($0 "/", w) == 1' | sort -r
}

# Processes whose root folder is one of the roots.
processes_in_roots() {
  local p r
  for p in /proc/[0-9]*; do
    r=$(readlink "$p/root" 2>/dev/null) || continue
    case $r in "$work"/*) echo "${p#/proc/}" ;; esac
  done
}

clean_up_roots() {
  local status=$? pid m left
  set +e
  if [ "$status" -ne 0 ]; then
    end_step
    echo "=== clean system: failed; the steps' times:"
    printf '%s\n' "${timings[@]}"
  fi
  for pid in "${background_pids[@]}"; do
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  # The namespaces take everything with them; this is the proof, and the
  # remedy should that ever fail.
  left=$(processes_in_roots)
  if [ -n "$left" ]; then
    echo "FAIL: processes left in the roots: $left" >&2
    kill -KILL $left 2>/dev/null
    status=1
  fi
  for m in $(mounts_below_work); do
    echo "FAIL: $m was still mounted" >&2
    umount -l "$m"
    status=1
  done
  if [ -n "$(mounts_below_work)" ]; then
    echo "FAIL: cannot unmount below $work; it is left in place" >&2
    exit 1
  fi
  cp "$work"/*.log "$artifacts/" 2>/dev/null
  if [ "${TARVO_CLEANROOT_KEEP:-0}" != 1 ]; then
    rm -rf --one-file-system "$work"
  fi
  exit "$status"
}
# lib.sh: window_titled, wait_for_figure, expect_start_picture, fail.
# shellcheck source=../e2e/lib.sh
source "$repo/tests/e2e/lib.sh" /bin/false "$work/screenshot_check" "$artifacts"
trap clean_up_roots EXIT
trap 'exit 130' INT TERM

# Sets ROOT_COMMAND to run a command in root $1 as UID:GID $2 with the
# environment VAR=VALUE... up to "--", in fresh mount and PID namespaces:
# /proc, /sys and /dev are mounted only there, and killing the command (it
# is unshare, started with exec when run in the background) kills all it
# started.
root_command() {
  local root=$1 user=$2
  shift 2
  local environment=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
  while [ "$1" != -- ]; do
    environment+=("$1")
    shift
  done
  shift
  ROOT_COMMAND=(unshare --mount --propagation private --pid --fork --kill-child -- /bin/sh -ec '
    root=$1; user=$2; shift 2
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --rbind /dev "$root/dev"
    exec chroot --userspec="$user" "$root" "$@"'
    sh "$root" "$user" env -i "${environment[@]}" "$@")
}
in_root() {
  root_command "$@"
  "${ROOT_COMMAND[@]}"
}

step_name=
step_start=0
step() {
  end_step
  step_name=$1
  step_start=$(date +%s)
  echo
  echo "=== $step_name"
}
end_step() {
  if [ -n "$step_name" ]; then
    timings+=("$(printf '%5d s  %s' $(($(date +%s) - step_start)) "$step_name")")
    step_name=
  fi
}

# The README's commands, so that what is checked is what the README says.
readme_block_line() {  # heading ("" for the first block), command word
  awk -v heading="$1" -v word="$2" '
    heading == "" || $0 == heading { armed = 1 }
    armed && /^```/ { inside = !inside; if (!inside) exit; next }
    inside && index($0, word) { sub(/[[:space:]]*#.*$/, ""); print; exit }' "$repo/README.md"
}
run_command=$(readme_block_line "" scripts/run.sh)
test_command=$(readme_block_line "" scripts/test.sh)
package_command=$(readme_block_line "## Install" cpack)
install_command=$(readme_block_line "## Install" "apt install")
for c in run_command test_command package_command install_command; do
  [ -n "${!c}" ] || { echo "FAIL: no $c found in README.md" >&2; exit 1; }
done

# ---------------------------------------------------------------------------
step "host set-up: debootstrap and the screenshot tools"
apt-get -q -o DPkg::Lock::Timeout=900 -o Dpkg::Use-Pty=0 install -y --no-install-recommends \
  debootstrap xvfb xdotool x11-utils imagemagick g++ git >/dev/null
g++ -O2 -o "$work/screenshot_check" "$repo/tests/e2e/ScreenshotCheck.cpp"

# The archive this machine's apt uses for the suite.
mirror=$(
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk -v s="$suite" '$1 == "deb" { for (i = 2; i < NF; i++) if ($i !~ /^\[/ && $(i + 1) == s) { print $i; exit } }'
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v s="$suite" '
        /^[[:space:]]*$/ { if (deb && ok && uri != "") print uri; deb = ok = 0; uri = ""; next }
        /^Types:/ { deb = / deb( |$)/ }
        /^URIs:/ { uri = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == s) ok = 1 }
        END { if (deb && ok && uri != "") print uri }' "$f"
    done
  } | head -n1)
[ -n "$mirror" ] || { echo "FAIL: no archive for $suite in this machine's apt sources" >&2; exit 1; }
echo "archive: $mirror"

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 30 display <"$work/display" || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=:$display
echo "X display $DISPLAY"

# ---------------------------------------------------------------------------
step "debootstrap a minimal Debian 12 root"
mkdir -p "$work/debs"
# debootstrap mounts /proc and /sys in the root itself: in a mount namespace
# of its own, they cannot outlive it.
unshare --mount --propagation private -- \
  debootstrap --variant=minbase --cache-dir="$work/debs" "$suite" "$root1" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 30 "$work/debootstrap.log" >&2; fail "debootstrap failed"; }
# An installed system knows its own host name (sudo asks for it).
echo "127.0.1.1 $(hostname)" >>"$root1/etc/hosts"
# The second root is the first as debootstrap left it, before anything else.
cp -a "$root1" "$root2"

step "clone the checkout into the root; a user without sudo"
git clone --quiet "$repo" "$root1/home/user/tarvo"
git -C "$root1/home/user/tarvo" checkout --quiet --detach "$(git -C "$repo" rev-parse HEAD)"
in_root "$root1" 0:0 -- useradd --uid 1000 --home-dir /home/user --shell /bin/bash user
chown -R 1000:1000 "$root1/home/user"
root_command "$root1" 1000:1000 HOME=/home/user USER=user LANG=en_US.UTF-8 "DISPLAY=$DISPLAY" -- \
  bash -c "cd ~/tarvo && $run_command"
as_user=("${ROOT_COMMAND[@]}")
if "${as_user[@]}" >"$work/nosudo.log" 2>&1; then
  cat "$work/nosudo.log"
  fail "the run command succeeded without root and without sudo"
fi
cat "$work/nosudo.log"
grep -q '^  apt-get update && apt-get install -y --no-install-recommends .*libwxgtk3.2-dev' "$work/nosudo.log" ||
  fail "the run command did not print the apt command for root"

step "give the user sudo"
in_root "$root1" 0:0 DEBIAN_FRONTEND=noninteractive -- sh -c \
  'apt-get -qq update && apt-get -qq install -y --no-install-recommends sudo >/dev/null'
echo 'user ALL=(ALL) NOPASSWD: ALL' >"$root1/etc/sudoers.d/user"
chmod 0440 "$root1/etc/sudoers.d/user"

# Waits up to $1 seconds for a window titled Tarvo while the command with
# PID $2 runs, then for its figure; checks the start picture as shot $3.
expect_viewer() {
  local deadline=$(($(date +%s) + $1)) pid=$2
  MAIN_WINDOW=
  until MAIN_WINDOW=$(window_titled Tarvo); do
    kill -0 "$pid" 2>/dev/null || fail "the command ended without showing a window"
    [ "$(date +%s)" -lt "$deadline" ] || fail "no window titled Tarvo within $1 s"
    sleep 1
  done
  wait_for_figure
  # The first frames may still be settling on a loaded machine: up to ten
  # seconds for the picture to be right, the last try saying what is wrong.
  local try
  for try in $(seq 1 20); do
    sleep 0.5
    if (expect_start_picture "$3") >/dev/null 2>&1; then
      break
    fi
  done
  if ! (expect_start_picture "$3"); then
    # What the X server shows and what the processes in the roots are doing.
    xwininfo -root -tree >"$artifacts/$3-windows.txt" 2>&1 || true
    for p in $(processes_in_roots); do
      echo "$p $(cat "/proc/$p/wchan" 2>/dev/null) $(tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null)"
    done >"$artifacts/$3-processes.txt"
    fail "$3: the window does not show the start picture (see $artifacts)"
  fi
}

# Stops the command with PID $1 and everything still running in root $2.
stop_background() {
  local p i left
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  background_pids=()
  for i in $(seq 1 50); do
    left=
    for p in $(processes_in_roots); do
      case $(readlink "/proc/$p/root" 2>/dev/null) in
        "$2" | "$2"/*) left="$left $p" ;;
      esac
    done
    [ -n "$left" ] || return 0
    kill -KILL $left 2>/dev/null || true
    sleep 0.1
  done
  fail "processes in $2 would not end:$left"
}

step "run command as the user with sudo, locale en_US.UTF-8 not generated"
# Plain redirection: $! is then unshare itself, not a shell in between.
"${as_user[@]}" >"$work/run.log" 2>&1 &
background_pids=($!)
expect_viewer 1500 $! run-command
stop_background "${background_pids[0]}" "$root1"
cat "$work/run.log"
grep -q '^Installing [0-9]* packages' "$work/run.log" || fail "the run command installed nothing"

step "test command as root, POSIX locale"
in_root "$root1" 0:0 HOME=/root -- bash -c "cd /home/user/tarvo && $test_command" 2>&1 |
  tee "$work/test.log"

step "make the package"
in_root "$root1" 0:0 HOME=/root -- bash -c "cd /home/user/tarvo && $package_command" 2>&1 |
  tail -n 5
deb=$(cd "$root1/home/user/tarvo" && ls build/tarvo_*.deb)

# The packages installed in the second root (removed ones may keep their
# configuration files; they count as gone).
installed_packages() {
  in_root "$root2" 0:0 -- dpkg-query -W -f '${db:Status-Status} ${Package}\n' |
    awk '$1 == "installed" { print $2 }' | sort
}

step "install the package in the second clean root"
for tool in gcc g++ cmake make; do
  [ ! -e "$root2/usr/bin/$tool" ] || fail "the second root has $tool"
done
mkdir -p "$root2/root/build"
cp "$root1/home/user/tarvo/$deb" "$root2/root/$deb"
echo 'APT::Get::Assume-Yes "true";' >"$root2/etc/apt/apt.conf.d/90yes"
installed_packages >"$work/before.txt"
in_root "$root2" 0:0 HOME=/root DEBIAN_FRONTEND=noninteractive -- \
  bash -c "cd /root && apt-get -qq update && ${install_command#sudo }" 2>&1 |
  grep -vE '^(Selecting previously|\(Reading database|Preparing to unpack|Unpacking|Setting up|Processing triggers)' |
  tee "$work/install.log"
in_root "$root2" 0:0 -- dpkg -L tarvo >"$work/files.txt"

step "start /usr/bin/tarvo from the package, C.UTF-8"
root_command "$root2" 0:0 HOME=/root LANG=C.UTF-8 "DISPLAY=$DISPLAY" -- /usr/bin/tarvo
"${ROOT_COMMAND[@]}" >"$work/package-run.log" 2>&1 &
background_pids=($!)
expect_viewer 60 $! installed-package
stop_background "${background_pids[0]}" "$root2"

step "apt remove and autoremove"
in_root "$root2" 0:0 DEBIAN_FRONTEND=noninteractive -- \
  sh -c 'apt-get -qq remove tarvo && apt-get -qq autoremove' >/dev/null
left=$(while read -r f; do
         if [ -e "$root2$f" ] && [ ! -d "$root2$f" ]; then echo "$f"; fi
       done <"$work/files.txt")
[ -z "$left" ] || fail "files of the package remain: $left"
[ ! -e "$root2/usr/share/doc/tarvo" ] || fail "/usr/share/doc/tarvo remains"
installed_packages >"$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the installed packages differ from before"
end_step

echo
echo "=== clean system: every step passed"
printf '%s\n' "${timings[@]}"
grep -h '^Need to get' "$work/run.log" | sed 's/^/run command:     /'
grep -h '^Need to get' "$work/test.log" | sed 's/^/test command:    /'
grep -h '^Need to get' "$work/install.log" | sed 's/^/package install: /'
