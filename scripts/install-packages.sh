# Installs with apt whichever of the packages given is not installed yet:
# as root directly, else through sudo; without sudo it prints the command
# to run as root and exits. Sourced by setup.sh and windows.sh.
install_missing_packages() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done

  # apt's messages in English whatever the user's locale (generated or not),
  # so that the lines worth showing can be picked out.
  local apt_env=(env LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
  local apt_options=(-o DPkg::Lock::Timeout=600 -o Dpkg::Use-Pty=0)

  local as_root=()
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
    local apt_log
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
}
