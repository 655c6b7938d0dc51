#!/usr/bin/env bash
# Installs what Tessarin needs on Debian 13 or 12, by purpose: only the packages
# that are missing, through sudo when not root. A second run installs nothing.
#   scripts/setup.sh run    what building and running the program take (scripts/run.sh)
#   scripts/setup.sh suite  that and what the Linux suites and the benchmarks take
#   scripts/setup.sh test   that and every tool of the test command (scripts/test.sh),
#                           and Debian's source entries, which building Qt for
#                           Windows takes (scripts/qt-windows.sh sources)
set -euo pipefail

# Building and running; README.md's apt-get line adds what `cpack -G DEB` takes.
run=(cmake ninja-build g++ qt6-base-dev qt6-base-private-dev)
# The Linux suites and the benchmarks.
suite=(
  # the package: Debian's shared-library dependencies (dpkg-shlibdeps, which needs
  # file), its validators and lintian
  dpkg-dev file desktop-file-utils appstream lintian
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core libidn2-0
  # the window suite under a real X server and window manager
  xvfb xauth openbox x11-utils xdotool xclip
  # a screen reader's view: the accessibility bus and the client library Orca uses,
  # on X and on a Wayland compositor with Qt's Wayland platform
  at-spi2-core dbus python3-pyatspi weston qt6-wayland
  # the system suite: a DNS server in a private namespace
  dnsmasq-base iproute2 util-linux
  # memcheck
  valgrind
)
# The rest of the test command.
test=(
  # quality gates: fuzzing (clang, libFuzzer), static analysis, load for the flake hunt
  clang libclang-rt-dev clang-tidy stress-ng
  # Windows: the cross compiler, GoogleTest's sources to build with it, Wine to
  # run it with Wine's own fonts (Fixedsys among them, for Qt 6.8: see
  # cmake/wine-run.sh), what building Qt for Windows from Debian's source
  # takes, and the notices made from what that build used
  g++-mingw-w64-x86-64-posix googletest wine64 fonts-wine perl xz-utils python3
  # the Windows packages, and clean Debian roots, as root and without it
  unzip wixl msitools faketime debootstrap mmdebstrap uidmap
)
case "${1:-}" in
  run) packages=("${run[@]}") ;;
  suite) packages=("${run[@]}" "${suite[@]}") ;;
  test) packages=("${run[@]}" "${suite[@]}" "${test[@]}") ;;
  *) echo "usage: scripts/setup.sh run|suite|test" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done

install_missing() {
  echo "setup: installing ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: need root or sudo to install ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  # What the release does not have (testing, now and then, a tool of the
  # Windows stages) is said and left; the test command says what it then skips.
  available=()
  for package in "${missing[@]}"; do
    candidate=$(apt-cache policy "$package" 2>/dev/null | sed -n 's/^  Candidate: //p')
    if [ -n "$candidate" ] && [ "$candidate" != "(none)" ]; then
      available+=("$package")
    else
      echo "setup: $(. /etc/os-release && echo "${VERSION_CODENAME:-this release}") has no $package: left out"
    fi
  done
  [ ${#available[@]} -eq 0 ] ||
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${available[@]}"
}
[ ${#missing[@]} -eq 0 ] || install_missing
[ "$1" != test ] || "$(dirname "$0")/qt-windows.sh" sources
