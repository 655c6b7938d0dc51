#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan on) into build-fuzz/
# and runs each for a bounded time. Fails on any finding.
#
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]
#
# Each target starts from the seeds in fuzz/corpus/<target> and keeps what it
# finds in build-fuzz/corpus/<target>, so a longer run later goes on from there.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(ipaddress stripnull withouthttp dotted)

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTESSARIN_FUZZ=ON \
  -DTESSARIN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target fuzz_targets

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Two targets at a time, one a core.
run_target() {
  local target=$1 corpus=build-fuzz/corpus/$1 log=build-fuzz/fuzz-$1.log dictionary=()
  mkdir -p "$corpus" build-fuzz/findings
  [ -f "fuzz/$target.dict" ] && dictionary=(-dict="fuzz/$target.dict")
  if ! build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/findings/$target-" "${dictionary[@]}" \
      "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz: $target found a fault; the input is in build-fuzz/findings/" >&2
    return 1
  fi
  echo "fuzz: $target: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") executions in ${seconds}s, no finding"
}

failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    run_target "$target" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
  done
done
exit $failed
