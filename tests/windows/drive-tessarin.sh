#!/usr/bin/env bash
# Drives the real Tessarin.exe under Wine as a user would, on the X display it
# is given: the title names the computer, HOST TO IP on localhost gives
# 127.0.0.1, IP TO HOST on 127.0.0.1 gives a name, and QUIT ends the program
# with status 0. What the output box shows is read through the clipboard.
#   drive-tessarin.sh WINE-RUN TESSARIN.EXE
set -euo pipefail
wine_run=$1
program=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

# In a process group of its own, which a failing check ends at once.
setsid "$wine_run" --display "$program" &
pid=$!
trap 'kill -- -"$pid" 2>/dev/null || true' EXIT
# Its title names the computer (Wine's name for it is Wine's).
window=$("$(dirname "$0")/../x11/await-window.sh" '^Tessarin - You are: [^ ]+$' 60 "$pid") ||
  fail "no window named 'Tessarin - You are: ' and the computer's name appeared (within 60 s, while it ran)"
xdotool windowactivate --sync "$window"

# A click at a point of the window's client area.
at() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# What the output box shows now. xclip stays to hold what it was given until
# another program takes the clipboard: not with the output that is waited for.
shown() {
  printf '' | xclip -selection clipboard >/dev/null
  at 100 100
  xdotool key ctrl+a ctrl+c
  xclip -selection clipboard -o 2>/dev/null || true
}
# Types the input into the input box, clicks the label at x and answers what
# the output box shows once it shows something new.
ask() {
  before=$(shown)
  at 100 17
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  at "$2" 48
  for _ in $(seq 50); do
    text=$(shown)
    if [ -n "$text" ] && [ "$text" != "$before" ]; then
      echo "$text"
      return
    fi
    sleep 0.2
  done
}

shown=$(ask localhost 64)
[ "$shown" = 127.0.0.1 ] || fail "HOST TO IP on localhost showed '$shown'"
shown=$(ask 127.0.0.1 176)
[ -n "$shown" ] || fail "IP TO HOST on 127.0.0.1 showed no name"
echo "IP TO HOST on 127.0.0.1: $shown"
at 336 48 # QUIT
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "QUIT did not end the program"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "QUIT ended the program with status $status"
