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

"$wine_run" --display "$program" &
pid=$!
window=$(timeout 60 xdotool search --sync --name '^Tessarin - You are: ' | head -1) ||
  fail "no window appeared"
# Wine names the computer as Windows does: the host name's first label, in
# capitals, at most 15 characters.
computer=$(hostname | cut -d. -f1 | cut -c1-15 | tr '[:lower:]' '[:upper:]')
title=$(xdotool getwindowname "$window")
[ "$title" = "Tessarin - You are: $computer" ] || fail "the title is '$title'"
xdotool windowactivate --sync "$window"

# A click at a point of the window's client area.
at() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# What the output box shows, once it shows anything.
output() {
  for _ in $(seq 50); do
    printf '' | xclip -selection clipboard
    at 100 100
    xdotool key ctrl+a ctrl+c
    text=$(xclip -selection clipboard -o 2>/dev/null || true)
    if [ -n "$text" ]; then
      echo "$text"
      return
    fi
    sleep 0.2
  done
}
# Types the input into the input box, clicks the label at x and answers the output.
ask() {
  at 100 17
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  at "$2" 48
  output
}

shown=$(ask localhost 64)
[ "$shown" = 127.0.0.1 ] || fail "HOST TO IP on localhost showed '$shown'"
shown=$(ask 127.0.0.1 176)
[ -n "$shown" ] || fail "IP TO HOST on 127.0.0.1 showed no name"
echo "IP TO HOST on 127.0.0.1: $shown"
at 336 48 # QUIT
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "QUIT ended the program with status $status"
