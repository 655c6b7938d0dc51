#!/usr/bin/env bash
# The test command: installs what is missing, builds into build/ with warnings
# as errors, and runs the whole suite. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

cmake -S . -B build -G Ninja -DTESSARIN_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j 2
