#!/usr/bin/env bash
# Runs a Windows program under Debian's 64-bit Wine, in a throwaway prefix in
# the current build folder (made once, quietly), with Wine's own messages off
# and without its menu builder, so nothing lands in the machine's own menus.
#   wine-run.sh [--display] PROGRAM [ARGUMENTS]
# Without --display the program gets no display. With it, it runs on $DISPLAY,
# and Wine's helpers on that display end with it.
set -euo pipefail
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=${WINEPREFIX:-$PWD/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
display=false
if [ "${1:-}" = --display ]; then
  display=true
  shift
else
  unset DISPLAY WAYLAND_DISPLAY
fi
( flock 9
  if [ ! -d "$WINEPREFIX" ]; then
    ( unset DISPLAY WAYLAND_DISPLAY
      "$wine" wineboot --init
      # Windows has Fixedsys, a fixed-pitch font, which the controls ask for.
      # Qt 6.4 finds fonts through GDI, where DejaVu Sans Mono
      # (fonts-dejavu-core) stands in for it; Qt 6.8 through DirectWrite, which
      # sees no replacement but Wine's own Fixedsys (fonts-wine).
      "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Fixedsys /t REG_SZ \
        /d 'DejaVu Sans Mono' /f
      "$wineserver" -w ) >/dev/null 2>&1
  fi ) 9>"$WINEPREFIX.lock"
if ! $display; then
  exec "$wine" "$@"
fi
status=0
"$wine" "$@" || status=$?
"$wineserver" -k 2>/dev/null || true
exit $status
