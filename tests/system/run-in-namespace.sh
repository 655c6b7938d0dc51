#!/usr/bin/env bash
# Runs the system suite against a DNS server of its own: a private mount, network
# and PID namespace with loopback up, its own /etc/hosts, /etc/resolv.conf and
# /etc/nsswitch.conf bind-mounted over the real ones inside that namespace only,
# and dnsmasq on 127.0.0.1. When the namespace's first process ends, for any
# reason, the kernel ends dnsmasq and drops the mounts: the machine's /etc is
# never touched.
#
#   run-in-namespace.sh SUITE [gtest arguments]
# Exits 77 (a skip to CTest) when the namespace cannot be made here.
set -euo pipefail

skip() { echo "SKIPPED: $*" >&2; exit 77; }

if [ "${TESSARIN_IN_NAMESPACE:-}" != 1 ]; then
  [ "$(id -u)" -eq 0 ] || skip "making a network namespace needs root"
  command -v unshare >/dev/null || skip "unshare (util-linux) is not installed"
  command -v ip >/dev/null || skip "ip (iproute2) is not installed"
  command -v dnsmasq >/dev/null || skip "dnsmasq (dnsmasq-base) is not installed"
  unshare --mount --net --pid --fork true 2>/dev/null || skip "this kernel refuses new namespaces"
  export TESSARIN_IN_NAMESPACE=1
  exec unshare --mount --net --pid --fork --kill-child -- "$0" "$@"
fi

suite=$1
shift
ip link set lo up
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

long_name=$(printf 'l%.0s' $(seq 1 295)).test
cat >"$work/hosts" <<HOSTS
127.0.0.1 localhost
10.53.4.1 $(hostname)
10.53.2.1 $long_name
HOSTS
printf 'nameserver 127.0.0.1\noptions timeout:1 attempts:1\n' >"$work/resolv.conf"
printf 'hosts: files dns\n' >"$work/nsswitch.conf"
for file in hosts resolv.conf nsswitch.conf; do
  mount --bind "$work/$file" "/etc/$file"
done

# The suite answers SERVFAIL on port 5355 and never answers on port 5354.
dnsmasq --keep-in-foreground --no-resolv --no-hosts --no-poll --user=root \
  --listen-address=127.0.0.1 --bind-interfaces --pid-file="$work/dnsmasq.pid" \
  --local=/test/ --local=/53.10.in-addr.arpa/ \
  --host-record=only-dns.test,10.53.0.1 \
  --address=/multi.test/10.53.1.1 --address=/multi.test/10.53.1.2 --address=/multi.test/10.53.1.3 \
  --cname=alias.test,only-dns.test \
  --ptr-record=7.0.53.10.in-addr.arpa,ptr-only.test \
  --host-record=xn--bcher-kva.test,10.53.3.1 \
  --server=/servfail.test/127.0.0.1#5355 \
  --server=/silent.test/127.0.0.1#5354 &

for _ in $(seq 50); do
  getent hosts only-dns.test >/dev/null && break
  sleep 0.1
done
getent hosts only-dns.test >/dev/null || { echo "dnsmasq did not start" >&2; exit 1; }

TESSARIN_LONG_NAME=$long_name "$suite" "$@"
