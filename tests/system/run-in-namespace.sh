#!/usr/bin/env bash
# Runs the DNS suite against a DNS server of its own: a private mount, network
# and PID namespace with loopback up, its own /proc, /etc/hosts,
# /etc/resolv.conf and /etc/nsswitch.conf mounted over the real ones inside that
# namespace only, and dnsmasq on 127.0.0.1. When the namespace's first process
# ends, for any reason, the kernel ends dnsmasq and drops the mounts: the
# machine's /etc is never touched.
#
#   run-in-namespace.sh SUITE [gtest arguments]
# Exits 77 (a skip to CTest) when the namespace cannot be made here.
set -euo pipefail
skip() { echo "SKIPPED: $*" >&2; exit 77; }
# dnsmasq and ip are where a normal user's PATH may not look.
PATH=$PATH:/usr/sbin:/sbin

if [ "${TESSARIN_IN_NAMESPACE:-}" != 1 ]; then
  command -v dnsmasq >/dev/null || skip "dnsmasq (dnsmasq-base) is not installed"
  # Root makes the namespaces; anyone else in a user namespace of their own,
  # where they are root, as Debian's kernels allow.
  namespaces=(--mount --net --pid --fork --mount-proc)
  [ "$(id -u)" -eq 0 ] || namespaces+=(--map-root-user)
  unshare "${namespaces[@]}" true 2>/dev/null || skip "this kernel refuses new namespaces$(
    [ "$(id -u)" -eq 0 ] || echo " to a user: see the settings kernel.unprivileged_userns_clone" \
      "and user.max_user_namespaces (sysctl), and AppArmor's restrict_unprivileged_userns")"
  # Its own /proc: what LeakSanitizer and the like read there by process number
  # must be this namespace's processes, not the machine's of the same number.
  TESSARIN_IN_NAMESPACE=1 exec unshare "${namespaces[@]}" --kill-child -- "$0" "$@"
fi
read -r self _ </proc/self/stat
[ "$self" = $$ ] || { echo "FAIL: /proc is not this namespace's" >&2; exit 1; }

ip link set lo up
# An address besides loopback, as a machine on a network has: getent's
# AI_ADDRCONFIG gives no IPv4 answer without one.
ip link add eth0 type veth peer name eth1
ip addr add 10.99.0.1/24 dev eth0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TESSARIN_LONG_NAME=$(printf 'l%.0s' $(seq 295)).test
printf '127.0.0.1 localhost\n10.53.4.1 %s\n10.53.2.1 %s\n' "$(hostname)" "$TESSARIN_LONG_NAME" >"$work/hosts"
printf 'nameserver 127.0.0.1\n' >"$work/resolv.conf"
printf 'hosts: files dns\n' >"$work/nsswitch.conf"
for file in hosts resolv.conf nsswitch.conf; do mount --bind "$work/$file" "/etc/$file"; done
# In the foreground, as whoever is root here: in a user's namespace no other
# user or group exists to change to. What it says goes to a file of its own.
dnsmasq --no-daemon --conf-file="$(dirname "$0")/dnsmasq.conf" 2>"$work/dnsmasq.log" &
for _ in $(seq 50); do getent hosts only-dns.test >/dev/null && break; sleep 0.1; done
# The first address the system's own tool gives for a name with several.
first=$(getent ahostsv4 multi.test | awk 'NR == 1 { print $1 }')
[ -n "$first" ] || { cat "$work/dnsmasq.log" >&2; echo "FAIL: the DNS server does not answer" >&2; exit 1; }
TESSARIN_MULTI_FIRST=$first "$@"
