#!/usr/bin/env bash
# Clean Debian roots, as a distribution builds in, for trying what a newcomer
# runs on a bare machine (root only). RELEASE is a Debian codename: bookworm,
# trixie.
#   scripts/clean-root.sh new RELEASE DIR    DIR becomes a fresh minimal Debian root of
#                                            RELEASE, copied from a base made once
#   scripts/clean-root.sh enter [--offline] [--cached] DIR COMMAND
#                                            runs COMMAND with bash in DIR, as root there,
#                                            with DISPLAY passed in and the X server's
#                                            sockets shared; whatever it leaves running
#                                            ends with it. --offline: in a network of its
#                                            own, loopback only, and no display.
#                                            --cached: ~/.cache there is the release's
#                                            cache outside the root
#   scripts/clean-root.sh test RELEASE       runs this checkout's scripts/test.sh in a
#                                            bare root of RELEASE and ends with its status
# Each release's base, the packages its roots fetch and what `test` builds
# there once (Qt for Windows) are kept outside the clone, in
#   ${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/clean-root/RELEASE
# so that only the first use downloads or builds them. The archive is Debian's
# own, at the address the machine's entries give it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/clean-root
say() { echo "clean-root: $*" >&2; }
usage() {
  echo "usage: scripts/clean-root.sh new RELEASE DIR | enter [--offline] DIR COMMAND | test RELEASE" >&2
  exit 2
}
[ "$(id -u)" -eq 0 ] || { say "needs root"; exit 1; }

make_base() {
  local base=$cache/$1/base
  mkdir -p "$cache/$1"
  exec 9>"$base.lock"
  flock 9
  [ -f "$base/.complete" ] && return
  mirror=$("$here/apt-entries.sh" archive)
  say "making the $1 base from $mirror, once"
  rm -rf "$base"
  # In a mount namespace of its own: what debootstrap mounts inside the base
  # goes with it, however it ends.
  unshare --mount --propagation private \
    debootstrap --variant=minbase "$1" "$base" "$mirror" >"$cache/$1/debootstrap.log" 2>&1 ||
    { tail -20 "$cache/$1/debootstrap.log" >&2; exit 1; }
  # Packages are kept in the shared cache, and unpacked without a sync after each file.
  rm -f "$base"/var/cache/apt/archives/*.deb
  echo 'Dpkg::Options { "--force-unsafe-io"; };' >"$base/etc/apt/apt.conf.d/90clean-root"
  touch "$base/.complete"
  exec 9>&-
}

case "${1:-}" in
  new)
    [ $# -eq 3 ] || usage
    make_base "$2"
    rm -rf "$3"
    cp -a "$cache/$2/base" "$3"
    rm "$3/.complete"
    ;;
  enter)
    offline=false cached=false
    while [ "${2:-}" = --offline ] || [ "${2:-}" = --cached ]; do
      [ "$2" = --offline ] && offline=true || cached=true
      set -- "$1" "${@:3}"
    done
    [ $# -eq 3 ] || usage
    root=$(cd "$2" && pwd)
    release=$(. "$root/etc/os-release" && echo "$VERSION_CODENAME")
    mkdir -p "$cache/$release/archives/partial" "$cache/$release/home-cache" \
      "$root/tmp/.X11-unix" "$root/root/.cache" /tmp/.X11-unix
    chmod 1777 /tmp/.X11-unix
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    namespaces=(--mount --pid)
    display=${DISPLAY:-}
    if $offline; then
      namespaces+=(--net)
      display=
    fi
    # Its own mount and process namespaces: the mounts and every process in the
    # root end when the command does. Its first process ends it all on TERM,
    # which a namespace's first process would otherwise not be given.
    exec unshare "${namespaces[@]}" --fork --kill-child bash -c '
      set -e
      root=$1 archives=$2 home_cache=$3 display=$4
      [ "$6" = false ] || ip link set lo up
      # The root a mount of its own, as a machine'"'"'s root is: namespaces made in it need one.
      mount --bind "$root" "$root"
      mount --rbind /dev "$root/dev"
      mount -t proc proc "$root/proc"
      mount -t sysfs sysfs "$root/sys"
      [ -z "$display" ] || mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
      mount --bind "$archives" "$root/var/cache/apt/archives"
      [ "$7" = false ] || mount --bind "$home_cache" "$root/root/.cache"
      trap "exit 143" TERM
      chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 DISPLAY="$display" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$5" &
      wait $!' \
      enter "$root" "$cache/$release/archives" "$cache/$release/home-cache" "$display" "$3" \
      "$offline" "$cached"
    ;;
  test)
    [ $# -eq 2 ] || usage
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    "$0" new "$2" "$work/root"
    # The checkout as it stands, committed or not, with its history: a clone,
    # on a machine with git.
    (cd "$here/.." && { git ls-files -co --exclude-standard; echo .git; } | tar -cf - -T -) |
      tar -xf - -C "$work/root" --one-top-level=src
    status=0
    "$0" enter --cached "$work/root" 'export TESSARIN_IN_CLEAN_ROOT=1 DEBIAN_FRONTEND=noninteractive
      apt-get update -q >/dev/null && apt-get install -q -y --no-install-recommends git >/dev/null
      cd /src && scripts/test.sh' || status=$?
    say "scripts/test.sh in a bare $2 root ended with status $status"
    exit "$status"
    ;;
  *)
    usage
    ;;
esac
