#!/usr/bin/env bash
# Runs a command as a client of a real Wayland compositor, weston's headless
# one, in a runtime folder of its own, with Qt's Wayland platform and no X display.
#
#   run-on-weston.sh COMMAND [ARGUMENTS]
set -euo pipefail
runtime=$(mktemp -d)
trap 'kill "$weston" 2>/dev/null; rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=wayland-tessarin QT_QPA_PLATFORM=wayland
unset DISPLAY
weston --no-config --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
  >"$runtime/weston.log" 2>&1 &
weston=$!
for _ in $(seq 100); do [ -S "$runtime/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$runtime/$WAYLAND_DISPLAY" ] || { cat "$runtime/weston.log" >&2; echo "FAIL: weston did not start" >&2; exit 1; }
# CTest stops only this script: end the command in time on its own.
timeout --kill-after=5 240 "$@"
