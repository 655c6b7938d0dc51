#!/usr/bin/env bash
# Runs a Windows program under Debian's 64-bit Wine, in a throwaway prefix in
# the current build folder (made once, quietly), with no display and Wine's own
# messages off.
set -euo pipefail
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX=${WINEPREFIX:-$PWD/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
( flock 9
  [ -d "$WINEPREFIX" ] || "$wine" wineboot --init >/dev/null 2>&1 ) 9>"$WINEPREFIX.lock"
exec "$wine" "$@"
