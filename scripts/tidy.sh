#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the program's sources,
# the Windows backend included where the Windows build has been configured.
# (The suites are held to -Werror and the sanitizers; with GoogleTest and QtTest
# each would take half a minute here.) Needs build/compile_commands.json (scripts/test.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."

[ -f build/compile_commands.json ] || { echo "tidy: configure build/ first (scripts/test.sh)" >&2; exit 1; }
# The generated sources (moc, uic, rcc) must exist before their users are read.
if ! built=$(cmake --build build 2>&1); then
  echo "$built" >&2
  exit 1
fi
log=build/clang-tidy.log
status=0
git ls-files -- 'app/*.cpp' 'resolver/*.cpp' 'platform/*.cpp' ':!platform/WinsockPlatform.cpp' \
  | xargs -P "$(nproc)" -n 2 clang-tidy -p build --quiet >"$log" 2>&1 || status=$?
# The Windows backend, as the cross build compiles it, with the cross compiler's C++ headers.
if [ -f build-windows/compile_commands.json ]; then
  mapfile -t cross < <(echo | x86_64-w64-mingw32-g++-posix -x c++ -E -Wp,-v - 2>&1 \
    | sed -n 's|^ \(/.*c++.*\)|--extra-arg=-isystem\1|p')
  clang-tidy -p build-windows --quiet --extra-arg=--target=x86_64-w64-mingw32 "${cross[@]}" \
    platform/WinsockPlatform.cpp >>"$log" 2>&1 || status=$?
fi
grep -v ' warnings generated\.$' "$log" || true
[ "$status" -eq 0 ] || { echo "tidy: findings above" >&2; exit 1; }
echo "tidy: clean"
