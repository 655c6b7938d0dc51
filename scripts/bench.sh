#!/usr/bin/env bash
# The benchmark command: installs what is missing, builds the benchmark programs
# into build/ and runs them all, ending with one table of ratios against the
# floors measured in the same run. Run it on an otherwise idle machine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test
cmake -S . -B build -G Ninja -DTESSARIN_BUILD_BENCH=ON >/dev/null
cmake --build build --target tessarin_bench
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$PWD/build/tests/runtime" \
  build/bench/tessarin_bench "$@"
