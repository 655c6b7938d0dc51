#!/usr/bin/env bash
# Prints the id of the first window on $DISPLAY whose name matches PATTERN,
# asked again and again while the process PID runs, for SECONDS at most; ends
# with status 1 if none came. Not with xdotool's --sync: a search that meets a
# window going away as it looks (Wine makes such passing windows) ends with X's
# BadWindow.
#   await-window.sh PATTERN SECONDS PID
set -euo pipefail
for _ in $(seq $(($2 * 5))); do
  window=$(xdotool search --name "$1" 2>/dev/null | head -1) || true
  if [ -n "$window" ]; then
    echo "$window"
    exit 0
  fi
  kill -0 "$3" 2>/dev/null || exit 1
  sleep 0.2
done
exit 1
