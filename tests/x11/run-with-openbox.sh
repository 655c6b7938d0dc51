#!/usr/bin/env bash
# Runs a window suite on a real X server (Xvfb) under a real window manager
# (openbox), where frames, placement and clicks are what a user gets.
#
#   run-with-openbox.sh SUITE [gtest arguments]
set -euo pipefail
# -noreset: by default the server resets whenever its last client leaves, and a
# client that connects meanwhile is refused; the first poll below would leave
# while openbox connects.
exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
  openbox >/dev/null 2>&1 &
  managed() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }
  for _ in $(seq 100); do managed && break; sleep 0.1; done
  managed || { echo "FAIL: openbox did not start" >&2; exit 1; }
  # CTest stops only this script: end the suite in time on its own.
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} timeout --kill-after=5 240 "$@"' run-with-openbox "$@"
