#!/usr/bin/env bash
# Clean Debian roots, as a distribution builds in, for trying what a newcomer
# runs on a bare machine. Root makes and enters them itself; anyone else
# without root, as root of a user namespace of their own that maps them to
# root and their subordinate ids (/etc/subuid, /etc/subgid) to the rest, as
# sbuild's unshare mode does (mmdebstrap makes the base). RELEASE is a Debian
# codename: bookworm, trixie, or testing's and unstable's, forky and sid. A
# release whose Release file is past its Valid-Until (an archive frozen in
# time, a snapshot) is refused by apt unless asked for:
# TESSARIN_EXPIRED_RELEASE=RELEASE takes it all the same, and says so.
#   scripts/clean-root.sh new RELEASE DIR    DIR becomes a fresh minimal Debian root of
#                                            RELEASE, copied from a base made once
#   scripts/clean-root.sh checkout [--history] SOURCE DEST
#                                            copies the checkout SOURCE as it stands,
#                                            committed or not, without its build
#                                            folders, into DEST; --history: its .git too
#   scripts/clean-root.sh enter [--offline] [--cached] DIR COMMAND
#                                            runs COMMAND with bash in DIR, as root there,
#                                            with this standard input and DISPLAY passed
#                                            in and the X server's sockets shared;
#                                            whatever it leaves running ends with it, and
#                                            TERM or INT ends it all. --offline: in a
#                                            network of its own, loopback only, and no
#                                            display. --cached: ~/.cache there is the
#                                            release's cache outside the root
#   scripts/clean-root.sh test RELEASE       runs this checkout's scripts/test.sh in a
#                                            bare root of RELEASE and ends with its status
#   scripts/clean-root.sh remove DIR         removes DIR, roots in it included
#   scripts/clean-root.sh ready              ends with status 0 where roots can be made
#                                            here, else says why with status 77
# Each release's base, the packages its roots fetch and what `test` builds
# there once (Qt for Windows) are kept outside the clone, in
#   ${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/clean-root/RELEASE
# so that only the first use downloads or builds them. The archive is Debian's
# own, at the address the machine's entries give it. A root is data to this
# script: nothing of it runs outside its namespaces.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/clean-root
releases=(bookworm trixie forky sid)
say() { echo "clean-root: $*" >&2; }
usage() {
  echo "usage: scripts/clean-root.sh new RELEASE DIR | checkout [--history] SOURCE DEST |" \
    "enter [--offline] [--cached] DIR COMMAND | test RELEASE | remove DIR | ready" >&2
  exit 2
}

# subordinate FILE: this user's first range of subordinate ids in FILE, as START COUNT.
subordinate() {
  awk -F: -v user="$(id -un)" -v id="$(id -u)" '$1 == user || $1 == id { print $2, $3; exit }' "$1"
}

# ready: whether roots can be made here; if not, says why and ends with 77.
ready() {
  local lacks
  [ "$(id -u)" -ne 0 ] || return 0
  lacks=$(for tool in mmdebstrap newuidmap newgidmap; do command -v "$tool" >/dev/null || echo "$tool"; done)
  [ -z "$lacks" ] || { say "without root the roots need $(echo $lacks) (Debian: mmdebstrap uidmap)"; exit 77; }
  [ -n "$(subordinate /etc/subuid)" ] && [ -n "$(subordinate /etc/subgid)" ] ||
    { say "without root the roots need subordinate ids for $(id -un) in /etc/subuid and /etc/subgid"; exit 77; }
  unshare --user true 2>/dev/null || { say "this kernel refuses user namespaces to a user: see the settings" \
    "kernel.unprivileged_userns_clone and user.max_user_namespaces (sysctl), and AppArmor's" \
    "restrict_unprivileged_userns"; exit 77; }
}

# rootless COMMAND...: COMMAND as root of a user namespace of this user's own,
# which maps them to root and their subordinate ids to the ids after it. Its
# maps are written from outside (newuidmap) once it stands.
rootless() {
  local fifo pid status=0
  fifo=$(mktemp -u)
  mkfifo -m 600 "$fifo"
  # Its standard input given explicitly, which a background job would otherwise lose.
  unshare --user bash -c 'read -r _ <"$1"; rm -f "$1"; shift; exec "$@"' rootless "$fifo" "$@" <&0 &
  pid=$!
  for _ in $(seq 500); do
    [ "$(readlink "/proc/$pid/ns/user")" = "$(readlink /proc/$$/ns/user)" ] || break
    sleep 0.01
  done
  # shellcheck disable=SC2046 # START COUNT, two words
  newuidmap "$pid" 0 "$(id -u)" 1 1 $(subordinate /etc/subuid) &&
    newgidmap "$pid" 0 "$(id -g)" 1 1 $(subordinate /etc/subgid) ||
    { kill "$pid"; rm -f "$fifo"; say "newuidmap and newgidmap failed"; exit 1; }
  echo >"$fifo"
  # Stopped, it ends when what it runs has ended, as unshare does for root.
  trap 'kill -TERM "$pid" 2>/dev/null || true' TERM INT
  while :; do
    status=0
    wait "$pid" || status=$?
    kill -0 "$pid" 2>/dev/null || break
  done
  return "$status"
}

# known RELEASE: one of the releases above, before any folder is named after it.
known() {
  local release
  for release in "${releases[@]}"; do
    [ "$1" != "$release" ] || return 0
  done
  say "'$1' is no release of these roots (${releases[*]})"
  exit 2
}

# within ROOT PATH: PATH in ROOT, refused where a link of the root's would lead
# this machine's own files elsewhere.
within() {
  [ "$(realpath -m "$1/$2")" = "$1/$2" ] || { say "$1: /$2 is a link; not this machine's to follow"; exit 1; }
  echo "$1/$2"
}

# make_base RELEASE: the release's base, made once: root's a folder made by
# debootstrap, anyone else's a tar archive made by mmdebstrap in its own user
# namespace, whose owners the user's namespace takes as its own.
make_base() {
  local base=$cache/$1/base
  mkdir -p "$cache/$1"
  exec 9>"$base.lock"
  flock 9
  if [ -f "$base/.complete" ] || [ -f "$base.tar" ]; then
    exec 9>&-
    return
  fi
  mirror=$("$here/apt-entries.sh" archive)
  say "making the $1 base from $mirror, once"
  if [ "$(id -u)" -ne 0 ]; then
    local options=()
    # Asked to take a Release file past its Valid-Until (below), the base is
    # made with it; the base itself keeps no such option.
    [ "${TESSARIN_EXPIRED_RELEASE:-}" != "$1" ] ||
      options=(--aptopt='Acquire::Check-Valid-Until "false"'
        --customize-hook='rm "$1/etc/apt/apt.conf.d/99mmdebstrap"')
    # Its package lists kept, as debootstrap keeps them: they say how long the release is valid.
    mmdebstrap --mode=unshare --format=tar --variant=minbase --skip=cleanup/apt/lists "${options[@]}" \
      "$1" "$base.tar.part" "$mirror" \
      >"$cache/$1/mmdebstrap.log" 2>&1 || { tail -20 "$cache/$1/mmdebstrap.log" >&2; exit 1; }
    mv "$base.tar.part" "$base.tar"
    exec 9>&-
    return
  fi
  rm -rf "$base"
  # A release newer than this debootstrap is made as unstable is.
  local script=/usr/share/debootstrap/scripts/$1
  [ -e "$script" ] || script=/usr/share/debootstrap/scripts/sid
  # In a mount namespace of its own: what debootstrap mounts inside the base
  # goes with it, however it ends.
  unshare --mount --propagation private \
    debootstrap --variant=minbase "$1" "$base" "$mirror" "$script" >"$cache/$1/debootstrap.log" 2>&1 ||
    { tail -20 "$cache/$1/debootstrap.log" >&2; exit 1; }
  # Packages are kept in the shared cache.
  rm -f "$base"/var/cache/apt/archives/*.deb
  touch "$base/.complete"
  exec 9>&-
}

# Without root: the base is made as the user; the rest runs in the user's namespace.
if [ "$(id -u)" -ne 0 ] && [ -z "${TESSARIN_ROOTLESS:-}" ]; then
  case "${1:-}" in
    checkout | "") ;;
    ready) ready; exit 0 ;;
    *)
      ready
      if { [ "$1" = new ] && [ $# -eq 3 ]; } || { [ "$1" = test ] && [ $# -eq 2 ]; }; then
        known "$2"
        make_base "$2"
      fi
      rootless env TESSARIN_ROOTLESS=1 PATH="/usr/sbin:/sbin:$PATH" "$here/clean-root.sh" "$@"
      exit
      ;;
  esac
fi

case "${1:-}" in
  new)
    [ $# -eq 3 ] || usage
    known "$2"
    make_base "$2"
    rm -rf "$3"
    if [ -f "$cache/$2/base.tar" ]; then
      # No device files: /dev is the machine's, mounted when the root is entered.
      mkdir "$3"
      tar --numeric-owner -xpf "$cache/$2/base.tar" -C "$3" --exclude='./dev/*'
    else
      cp -a "$cache/$2/base" "$3"
      rm "$3/.complete"
    fi
    # Packages unpacked without a sync after each file.
    echo 'Dpkg::Options { "--force-unsafe-io"; };' >"$3/etc/apt/apt.conf.d/90clean-root"
    # Past its Valid-Until, apt refuses the release's Release file: taken only
    # when asked, and only for a Release file that has one.
    until=$(sed -n 's/^Valid-Until: //p' "$3"/var/lib/apt/lists/*_dists_"$2"_Release 2>/dev/null | head -1 ||
      true)
    if [ -n "$until" ] && [ "$(date -d "$until" +%s)" -lt "$(date +%s)" ]; then
      if [ "${TESSARIN_EXPIRED_RELEASE:-}" = "$2" ]; then
        say "$2: its Release file was valid until $until; taken all the same, as asked" \
          "(TESSARIN_EXPIRED_RELEASE=$2)"
        echo 'Acquire::Check-Valid-Until "false";' >"$3/etc/apt/apt.conf.d/90expired-release"
      else
        say "$2: its Release file was valid until $until, and apt will refuse it;" \
          "TESSARIN_EXPIRED_RELEASE=$2 takes it all the same"
      fi
    fi
    ;;
  checkout)
    history=false
    [ "${2:-}" != --history ] || { history=true; shift; }
    [ $# -eq 3 ] || usage
    mkdir -p "$3"
    # Whoever owns the checkout: the copy is of whoever makes it, and git here
    # reads another's repository as its own. Out of a clone, or without git,
    # every file. A folder with a CMakeCache.txt is a build, whatever its name.
    files() {
      if command -v git >/dev/null && git -c safe.directory='*' rev-parse 2>/dev/null; then
        git -c safe.directory='*' ls-files -co --exclude-standard
      else
        find . -name .git -prune -o ! -type d -print | sed 's|^\./||'
      fi
    }
    (cd "$2" && { files |
      awk '{ files[NR] = $0 } sub(/CMakeCache\.txt$/, "") && $0 != "" { builds[$0] }
        END { for (i = 1; i <= NR; i++) { keep = 1
          for (b in builds) if (index(files[i], b) == 1) keep = 0
          if (keep) print files[i] } }'
      ! $history || [ ! -e .git ] || echo .git; } | tar -cf - -T -) | tar -xf - --no-same-owner -C "$3"
    ;;
  enter)
    offline=false cached=false
    while [ "${2:-}" = --offline ] || [ "${2:-}" = --cached ]; do
      [ "$2" = --offline ] && offline=true || cached=true
      set -- "$1" "${@:3}"
    done
    [ $# -eq 3 ] || usage
    root=$(cd "$2" && pwd -P)
    # The release, read as data: its os-release is the root's, not this machine's.
    os_release=$(within "$root" etc/os-release 2>/dev/null) ||
      os_release=$(within "$root" "usr/lib/os-release")
    release=$(sed -n 's/^VERSION_CODENAME=["'\'']\{0,1\}\([a-z]*\).*/\1/p' "$os_release")
    known "$release"
    for place in dev proc sys var/cache/apt/archives; do within "$root" "$place" >/dev/null; done
    x11=$(within "$root" tmp/.X11-unix)
    home_cache=$(within "$root" root/.cache)
    resolv_conf=$(within "$root" etc/resolv.conf)
    mkdir -p "$cache/$release/archives/partial" "$cache/$release/home-cache" "$x11" "$home_cache" \
      /tmp/.X11-unix
    [ -n "${TESSARIN_ROOTLESS:-}" ] || chmod 1777 /tmp/.X11-unix
    cp /etc/resolv.conf "$resolv_conf"
    namespaces=(--mount --pid)
    display=${DISPLAY:-}
    if $offline; then
      namespaces+=(--net)
      display=
    fi
    # Its own mount and process namespaces: the mounts and every process in the
    # root end when the command does. The namespace's first process ends it all
    # on TERM or INT, which unshare does not pass on: it is sent to unshare's
    # own process group, the first process's too.
    exec unshare "${namespaces[@]}" --fork --kill-child bash -c '
      set -e
      root=$1 archives=$2 home_cache=$3 display=$4
      [ "$6" = false ] || ip link set lo up
      # The root a mount of its own, as a machine'"'"'s root is: namespaces made in it need one.
      mount --bind "$root" "$root"
      mount --rbind /dev "$root/dev"
      mount -t proc proc "$root/proc"
      # Without root, a network namespace of its own has sysfs; else the machine'"'"'s.
      mount -t sysfs sysfs "$root/sys" 2>/dev/null || mount --rbind /sys "$root/sys"
      [ -z "$display" ] || mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
      mount --bind "$archives" "$root/var/cache/apt/archives"
      [ "$7" = false ] || mount --bind "$home_cache" "$root/root/.cache"
      trap "exit 143" TERM INT
      # In the background, so that a signal is taken at once; its standard
      # input given explicitly, which a background job would otherwise lose.
      chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 DISPLAY="$display" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$5" <&0 &
      wait $!' \
      enter "$root" "$cache/$release/archives" "$cache/$release/home-cache" "$display" "$3" \
      "$offline" "$cached"
    ;;
  test)
    [ $# -eq 2 ] || usage
    known "$2"
    # On disk, not in /tmp, which may be a small tmpfs: a whole test command's root.
    mkdir -p "$cache"
    work=$(mktemp -d "$cache/work.XXXXXX")
    command=
    # Stopped or not, the command and all it started end before its root goes.
    finish() {
      if [ -n "$command" ]; then
        kill -TERM -- -"$command" 2>/dev/null || true
        wait "$command" 2>/dev/null || true
      fi
      rm -rf "$work"
    }
    trap finish EXIT
    trap 'exit 143' TERM INT
    "$0" new "$2" "$work/root"
    # The checkout as it stands, committed or not, with its history: a clone,
    # on a machine with git.
    "$0" checkout --history "$here/.." "$work/root/src"
    status=0
    # In a process group of its own, which the clean-up above ends whole.
    setsid "$0" enter --cached "$work/root" 'export TESSARIN_IN_CLEAN_ROOT=1 DEBIAN_FRONTEND=noninteractive
      apt-get update -q >/dev/null && apt-get install -q -y --no-install-recommends git >/dev/null
      cd /src && scripts/test.sh' &
    command=$!
    wait "$command" || status=$?
    command=
    say "scripts/test.sh in a bare $2 root ended with status $status"
    exit "$status"
    ;;
  remove)
    [ $# -eq 2 ] || usage
    rm -rf "$2"
    ;;
  ready)
    ready
    ;;
  *)
    usage
    ;;
esac
