#!/usr/bin/env bash
# Builds everything and runs every test: once in a normal build, then the libraries and
# the command-line tool again under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the serial, phone and modem code, which runs threads, under ThreadSanitizer, and a short
# run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABELLAN_TSAN=ON \
  -DTABELLAN_BUILD_APP=OFF -DTABELLAN_BUILD_BENCH=OFF
cmake --build build-tsan -j"$jobs" --target phone_tests autodial_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/tests/phone_tests --gtest_brief=1
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/tests/autodial_tests --gtest_brief=1

# The Debian package and the desktop files it installs, from the normal build.
bash tools/check_package.sh build

# The libraries and the command-line tool with their tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, in the fuzz targets' build, so that code is compiled once),
# then every fuzz target for 20 seconds on its seed corpus.
bash tools/fuzz.sh --tests 20
