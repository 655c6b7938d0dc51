#!/usr/bin/env bash
# Installs what Tessarin needs to build, test and run on Debian 12: only the
# packages that are missing, through sudo when not root. A second run installs nothing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ qt6-base-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev qt6-base-private-dev fonts-dejavu-core libidn2-0
  # the run command without a display, and the window suite under a real X server and window manager
  xvfb xauth openbox x11-utils xdotool xclip
  # a screen reader's view: the accessibility bus and the client library Orca uses,
  # on X and on a Wayland compositor with Qt's Wayland platform
  at-spi2-core dbus python3-pyatspi weston qt6-wayland
  # the system suite: a DNS server in a private namespace
  dnsmasq-base iproute2 util-linux
  # quality gates: fuzzing (clang, libFuzzer), memcheck, static analysis, load for the flake hunt
  clang libclang-rt-14-dev valgrind clang-tidy stress-ng
  # Windows: the cross compiler, GoogleTest's sources to build with it, Wine to
  # run it, and what building Qt for Windows from Debian's source takes
  g++-mingw-w64-x86-64-posix googletest wine64 perl xz-utils
  # packaging: validators, the Debian package, and the Windows Installer package
  desktop-file-utils appstream dpkg-dev lintian unzip wixl msitools faketime
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
