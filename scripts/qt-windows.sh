#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows from Debian's own qt6-base source, of
# the same Debian version as the host Qt, revision included (a Qt cross build
# runs the host's moc, uic and rcc), with the machine's MinGW-w64, configured by
# cmake/qt-windows-features.cmake with only what Tessarin needs, and installs
# it once into the folder that cmake/qt-windows-prefix.cmake names by the Qt
# version, the compiler and the configuration: a later run finds it there and
# does nothing, and a change to any of them builds anew. Once it is complete,
# the folders of other Debian revisions of the same Qt go. Qt is configured for
# a prefix that is no folder of this machine, and its source and build folders
# are written as ".": nothing built from it names where it was built.
# Beside Qt it keeps the source package it was built from (source/) and, made
# by packaging/qt-notices.py, Qt's attributions of the code of others with the Qt
# libraries built from it (notices/): the Windows packages' notices come from them.
# Prints that folder. Progress goes to standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)   # e.g. 6.4.2+dfsg-10
upstream=${version#*:}
upstream=${upstream%%[+~-]*}   # 6.4.2
features=$root/cmake/qt-windows-features.cmake
toolchain=$root/cmake/mingw-w64-x86_64.cmake
prefix=$(cmake -P cmake/qt-windows-prefix.cmake)
done_mark=$prefix/.tessarin-complete
say() { echo "qt-windows: $*" >&2; }

# The machine's own entries for its release, as source entries: the archive
# address (a mirror or a proxy included) and the keyring they already use.
# `scripts/qt-windows.sh sources` adds them alone (scripts/setup.sh test does,
# where sudo can ask for a password).
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  entries=$(scripts/apt-entries.sh source "$codename")
  [ -n "$entries" ] || { say "no apt entry for $codename to take the source from"; exit 1; }
  say "adding source entries beside the machine's entries for $codename"
  printf '%s\n' "$entries" | "${sudo[@]}" tee /etc/apt/sources.list.d/tessarin-src.sources >/dev/null
  "${sudo[@]}" apt-get update -q >/dev/null
fi
[ "${1:-}" != sources ] || exit 0

# Once this Qt is complete, another revision of it is an old one, which no
# checkout builds with: a Debian update (a security fix, say) replaced it. One
# in use (building, or being built) is left alone.
prune() {
  local old
  for old in "${prefix%/*}/qt-$upstream"[+~-]*mingw64-*; do
    [[ -d "$old" && "$old" != *-work && "${old##*/}" != "qt-${version//:/_}-mingw64-"* ]] || continue
    if flock -n "$old.lock" true 2>/dev/null; then
      say "removing ${old##*/}, built from another revision of Qt $upstream"
      rm -rf "$old" "$old-work" "$old.lock"
    fi
  done
}

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9    # one build at a time; a second run waits and then reuses it
if [ -f "$done_mark" ] && [ -d "$prefix/notices" ]; then
  prune
  echo "$prefix"
  exit 0
fi


work=$prefix-work
src=$work/src
# A build that got as far as its install is kept until its notices are made.
if [ ! -f "$work/.installed" ]; then
  rm -rf "$work" "$prefix"
  mkdir -p "$work"
  say "fetching Debian's qt6-base $version source"
  (cd "$work" && apt-get source -q --download-only "qt6-base=$version" &&
    dpkg-source -x qt6-base_*.dsc src) >"$work/source.log" 2>&1 ||   # with Debian's own patches
    { tail -20 "$work/source.log" >&2; exit 1; }

  say "configuring (static, for x86_64-w64-mingw32)"
  cmake -S "$src" -B "$work/build" -G Ninja -Wno-dev -C "$features" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX=/nonexistent/qt \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    >"$work/configure.log" 2>&1 || { tail -40 "$work/configure.log" >&2; exit 1; }

  say "building; the full log is $work/build.log"
  # One progress line every 50 steps, and the last lines of the log on failure.
  status=0
  NINJA_STATUS='[%f/%t %es] ' cmake --build "$work/build" 2>&1 | tee "$work/build.log" |
    awk '/^\[[0-9]+\/[0-9]+ / { split(substr($1, 2), n, "/");
      if (n[1] % 50 == 0 || n[1] == n[2]) { sub(/]$/, "", $2); printf "qt-windows: %s of %s steps, %s\n", n[1], n[2], $2; fflush() } }' >&2 ||
    status=$?
  if [ "$status" -ne 0 ]; then
    grep -B2 -A20 -m1 'FAILED' "$work/build.log" >&2 || tail -40 "$work/build.log" >&2
    exit 1
  fi
  cmake --install "$work/build" --prefix "$prefix" >/dev/null
  touch "$work/.installed"
fi

# What Tessarin's Windows packages need to carry this Qt lawfully: the source it
# was built from, and each third-party component's attribution with the Qt
# libraries whose compiled sources lie in it.
say "keeping the source and the attributions of what was built"
rm -rf "$prefix/source" "$prefix/notices"
mkdir -p "$prefix/source"
cp "$work"/qt6-base_* "$features" "$toolchain" cmake/qt-windows-prefix.cmake "$prefix/source/"
ninja -C "$work/build" -t deps >"$work/deps.txt"
python3 "$root/packaging/qt-notices.py" collect "$src" "$work/build/build.ninja" "$work/deps.txt" \
  "$prefix/notices"

touch "$done_mark"
rm -rf "$work"
prune
say "installed into $prefix ($(du -sh "$prefix" | cut -f1))"
echo "$prefix"
