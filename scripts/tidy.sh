#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over every C++ source the
# build compiles. Needs build/compile_commands.json (scripts/test.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."

[ -f build/compile_commands.json ] || { echo "tidy: configure build/ first (scripts/test.sh)" >&2; exit 1; }
# The generated sources (moc, uic, rcc) must exist before their users are read.
cmake --build build >/dev/null
git ls-files -- 'app/*.cpp' 'resolver/*.cpp' 'platform/*.cpp' 'tests/*.cpp' \
  | xargs -P "$(nproc)" -n 4 clang-tidy -p build --quiet
echo "tidy: clean"
