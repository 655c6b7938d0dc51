#!/usr/bin/env bash
# Clean Debian roots, as a distribution builds in, for trying what a newcomer
# runs on a bare machine (root only):
#   scripts/clean-root.sh new DIR            DIR becomes a fresh minimal Debian root of this
#                                            machine's release, copied from a base made once
#                                            and kept outside the clone
#   scripts/clean-root.sh enter DIR COMMAND  runs COMMAND with bash in DIR, as root there, with
#                                            DISPLAY passed in and the X server's sockets
#                                            shared; whatever it leaves running ends with it
# The base and every package the roots fetch are kept in
#   ${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/clean-root
# so that only the first use downloads them. The archive is the machine's own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/clean-root
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
base=$cache/$codename-minbase
say() { echo "clean-root: $*" >&2; }
[ "$(id -u)" -eq 0 ] || { say "needs root"; exit 1; }

make_base() {
  mkdir -p "$cache"
  exec 9>"$base.lock"
  flock 9
  [ -f "$base/.complete" ] && return
  mirror=$("$here/deb-src-entries.sh" "$codename" | sed -n 's/^URIs: *\([^ ]*\).*/\1/p' | head -1)
  [ -n "$mirror" ] || { say "no apt entry for $codename to take its archive from"; exit 1; }
  say "making the $codename base from $mirror, once"
  rm -rf "$base"
  debootstrap --variant=minbase "$codename" "$base" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    { tail -20 "$cache/debootstrap.log" >&2; exit 1; }
  # Packages are kept in the shared cache, and unpacked without a sync after each file.
  rm -f "$base"/var/cache/apt/archives/*.deb
  echo 'Dpkg::Options { "--force-unsafe-io"; };' >"$base/etc/apt/apt.conf.d/90clean-root"
  touch "$base/.complete"
}

case "${1:-}" in
  new)
    make_base
    rm -rf "$2"
    cp -a "$base" "$2"
    rm "$2/.complete"
    ;;
  enter)
    root=$(cd "$2" && pwd)
    mkdir -p "$cache/archives/partial" "$root/tmp/.X11-unix" /tmp/.X11-unix
    chmod 1777 /tmp/.X11-unix
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    # Its own mount and process namespaces: the mounts and every process in the
    # root end when the command does.
    exec unshare --mount --pid --fork --kill-child bash -c '
      set -e
      root=$1 cache=$2
      mount --rbind /dev "$root/dev"
      mount -t proc proc "$root/proc"
      mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
      mount --bind "$cache/archives" "$root/var/cache/apt/archives"
      exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 DISPLAY="$3" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$4"' \
      enter "$root" "$cache" "${DISPLAY:-}" "$3"
    ;;
  *)
    echo "usage: scripts/clean-root.sh new DIR | enter DIR COMMAND" >&2
    exit 2
    ;;
esac
