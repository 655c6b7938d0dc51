#!/usr/bin/env bash
# Builds the libFuzzer target with clang (ASan and UBSan on) into build-fuzz/
# and runs it for a bounded time. Fails on any finding.
#
#   scripts/fuzz.sh [seconds, default 30]
#
# It starts from the seeds in fuzz/corpus/text and keeps what it finds in
# build-fuzz/corpus, so a longer run later goes on from there.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTESSARIN_FUZZ=ON \
  -DTESSARIN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target fuzz_text

mkdir -p build-fuzz/corpus build-fuzz/findings
log=build-fuzz/fuzz-text.log
if ! ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    build-fuzz/fuzz/fuzz_text -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/findings/ -dict=fuzz/text.dict build-fuzz/corpus fuzz/corpus/text \
    >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "fuzz: a property failed; the input is in build-fuzz/findings/" >&2
  exit 1
fi
echo "fuzz: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") executions in ${seconds}s, no finding"
