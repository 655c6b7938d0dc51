#!/usr/bin/env bash
# The run command: installs what building and running need, builds, and starts
# Tessarin on the desktop it is run from.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display: neither DISPLAY nor WAYLAND_DISPLAY is set, and Tessarin is a window." >&2
  echo "run: start it from a desktop session (X or Wayland), or with ssh -X." >&2
  exit 1
fi
scripts/setup.sh run
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tessarin
exec build/tessarin
