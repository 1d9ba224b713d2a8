#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, when missing
# (dpkg-dev and file: the Debian package's library dependencies).
# Sourced by ./run and ./test. Needs root (or sudo) only when something is missing.
vimbo_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev
  qt6-qpa-plugins libgl1-mesa-dev fonts-liberation libgtest-dev libgmock-dev
  libbenchmark-dev clang-format dpkg-dev file)

vimbo_install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then sudo=sudo; else
      echo "Please install as root: apt-get install ${missing[*]}" >&2
      return 1
    fi
  fi
  if [ -z "${VIMBO_APT_UPDATED:-}" ]; then
    $sudo apt-get update -qq || true
    export VIMBO_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
