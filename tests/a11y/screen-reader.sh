#!/usr/bin/env bash
# Runs screen-reader.py against the program in a D-Bus session of its own,
# with the accessibility bus switched on as a screen reader switches it on
# (which starts it), on the display it is given. Exits 77 (a skip to CTest)
# where that bus cannot start.
#   screen-reader.sh TESSARIN
set -euo pipefail
skip() { echo "SKIPPED: $*" >&2; exit 77; }
if [ "${TESSARIN_IN_SESSION:-}" != 1 ]; then
  [ -x /usr/libexec/at-spi-bus-launcher ] || skip "no accessibility bus here (at-spi2-core)"
  command -v dbus-run-session >/dev/null || skip "no D-Bus session here (dbus)"
  # Debian's own Python: python3-pyatspi belongs to it, not to another python3 on the PATH.
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "no python3-pyatspi for /usr/bin/python3"
  TESSARIN_IN_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null 2>&1 && exec /usr/bin/python3 "${0%.sh}.py" "$@"
  sleep 0.1
done
skip "the accessibility bus did not start"
