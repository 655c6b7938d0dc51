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

if [ "${TESSARIN_IN_NAMESPACE:-}" != 1 ]; then
  [ "$(id -u)" -eq 0 ] || skip "making a network namespace needs root"
  command -v dnsmasq >/dev/null || skip "dnsmasq (dnsmasq-base) is not installed"
  unshare --mount --net --pid --fork --mount-proc true 2>/dev/null || skip "this kernel refuses new namespaces"
  # Its own /proc: what LeakSanitizer and the like read there by process number
  # must be this namespace's processes, not the machine's of the same number.
  TESSARIN_IN_NAMESPACE=1 exec unshare --mount --net --pid --fork --kill-child --mount-proc \
    -- "$0" "$@"
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
dnsmasq --conf-file="$(dirname "$0")/dnsmasq.conf" --pid-file="$work/dnsmasq.pid" &
for _ in $(seq 50); do getent hosts only-dns.test >/dev/null && break; sleep 0.1; done
# The first address the system's own tool gives for a name with several.
first=$(getent ahostsv4 multi.test | awk 'NR == 1 { print $1 }')
[ -n "$first" ] || { echo "FAIL: the DNS server does not answer" >&2; exit 1; }
TESSARIN_MULTI_FIRST=$first "$@"
