#!/usr/bin/env bash
# Hunts the rare failure a fresh machine's first run meets: runs the gui, x11
# and system labels over and over, in the plain build (build/) and the one
# with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/), each run
# with a fresh HOME and the page cache dropped first: on an otherwise idle
# machine, then under stress-ng load on both CPUs and the disk. Prints the
# failures counted for each, keeps each failing run's output in
# build/flake-hunt/, and exits non-zero if any run failed.
#   scripts/flake-hunt.sh [RUNS, default 30] [CONDITIONS, default "idle load"]
#     [BUILDS, default "build build-asan"]
# Needs root, to drop the page cache.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-30}
conditions=${2:-idle load}
builds=${3:-build build-asan}
[ "$(id -u)" -eq 0 ] || { echo "flake-hunt: dropping the page cache needs root" >&2; exit 1; }

scripts/setup.sh test
cmake -S . -B build -G Ninja -DTESSARIN_WERROR=ON -DTESSARIN_BUILD_TESTS=ON -DTESSARIN_BUILD_BENCH=ON >/dev/null
cmake --build build
cmake -S . -B build-asan -G Ninja -DTESSARIN_WERROR=ON -DTESSARIN_BUILD_TESTS=ON -DTESSARIN_SANITIZE=ON >/dev/null
cmake --build build-asan
# As the test command has them.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:intercept_tls_get_addr=0 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
logs=$PWD/build/flake-hunt
rm -rf "$logs"
mkdir -p "$logs"

load=
trap '[ -z "$load" ] || kill "$load"' EXIT
failures=0
for condition in $conditions; do
  if [ "$condition" = load ]; then
    stress-ng --cpu 2 --io 1 --quiet &
    load=$!
  fi
  for build in $builds; do
    failed=0
    for run in $(seq "$runs"); do
      home=$(mktemp -d)
      sync
      echo 3 >/proc/sys/vm/drop_caches
      log=$logs/$condition-$build-$run.log
      # valgrind cannot run sanitized programs.
      exclude=$([ "$build" = build-asan ] && echo memcheck || echo none)
      if HOME=$home ctest --test-dir "$build" -L 'gui|x11|system' -LE "$exclude" --output-on-failure -j 2 \
        >"$log" 2>&1; then
        rm "$log"
      else
        failed=$((failed + 1))
      fi
      rm -rf "$home"
    done
    echo "flake-hunt: $condition, $build: $failed of $runs runs failed"
    failures=$((failures + failed))
  done
done
[ "$failures" -eq 0 ]
