#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts Tessarin.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tessarin

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); starting Tessarin under xvfb-run" >&2
  exec xvfb-run -a build/tessarin
fi
exec build/tessarin
