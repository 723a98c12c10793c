#!/usr/bin/env bash
# Installs whatever Debian packages the build, the tests and the demo need and
# this machine lacks. Safe to run again: it only acts on what is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick python3-xlib
  fonts-liberation2 locales
  desktop-file-utils appstream dbus dbus-daemon at-spi2-core python3-pyatspi
  g++-mingw-w64-x86-64-posix wine wine64  # the Windows cross build and its tests under Wine
  clang libclang-rt-14-dev llvm
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The log's date and time texts follow LC_TIME; the tests also check the Polish one.
if ! locale -a 2>/dev/null | grep -qi '^pl_PL\.utf-\?8$'; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" localedef -i pl_PL -f UTF-8 pl_PL.UTF-8 || echo "warning: could not generate pl_PL.UTF-8"
fi
