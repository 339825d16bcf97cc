#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (clang, AddressSanitizer, UBSan) and runs each
# for SECONDS (default 20), up to one per processor at a time, on a copy of its seed corpus.
#
#   tools/fuzz.sh [--tests] [SECONDS] [TARGET...]
#
# --tests first builds the test programs in the same build and runs them, so the libraries
# and the command-line tool are tested under ASan and UBSan from the code the targets fuzz.
#
# FUZZ_RUNS=N stops each target after N executions instead (SECONDS still bounds the time);
# FUZZ_OPTIONS adds libFuzzer options (for example -max_len=1024).
# Prints each target's executions; a crash, leak or failed check fails the script, and the
# input that caused it is kept in build-fuzz/artifacts/<target>/ (add it to the target's
# corpus and a regression test).
set -euo pipefail
cd "$(dirname "$0")/.."
run_tests=0
if [ "${1:-}" = "--tests" ]; then
  run_tests=1
  shift
fi
seconds=${1:-20}
shift || true
jobs=$(nproc)

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTABELLAN_FUZZ=ON -DTABELLAN_BUILD_APP=OFF -DTABELLAN_BUILD_BENCH=OFF \
  ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
if ((run_tests)); then
  cmake --build build-fuzz -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-fuzz --output-on-failure -j"$jobs"
else
  cmake --build build-fuzz -j"$jobs" --target fuzz_targets
fi

targets=("$@")
if ((${#targets[@]} == 0)); then
  for exe in build-fuzz/tests/fuzz/fuzz_*; do
    targets+=("${exe##*/fuzz_}")
  done
fi

run_one() {
  local name=$1 seconds=$2
  local corpus=build-fuzz/corpus/$name artifacts=build-fuzz/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  if [ -d "tests/fuzz/corpus/$name" ]; then
    cp -n tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
  fi
  local options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
    -artifact_prefix="$artifacts/")
  [ -n "${FUZZ_RUNS:-}" ] && options+=(-runs="$FUZZ_RUNS")
  # shellcheck disable=SC2206
  [ -n "${FUZZ_OPTIONS:-}" ] && options+=($FUZZ_OPTIONS)
  [ -f "tests/fuzz/$name.dict" ] && options+=(-dict="tests/fuzz/$name.dict")
  local status=0
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "build-fuzz/tests/fuzz/fuzz_$name" "${options[@]}" "$corpus" >"build-fuzz/$name.log" 2>&1 ||
    status=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/$name.log" | tail -1)
  if ((status == 0)); then
    printf 'fuzz %-20s %12s executions, no finding\n' "$name" "${runs:-?}"
  else
    printf 'fuzz %-20s %12s executions, FAILED (see build-fuzz/%s.log)\n' "$name" "${runs:-?}" \
      "$name"
    grep -E 'ERROR|check failed|SUMMARY|Test unit written' "build-fuzz/$name.log" | head -5
  fi
  return "$status"
}
export -f run_one

printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds"
