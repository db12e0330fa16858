#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. the core and the tool under AddressSanitizer and UndefinedBehaviorSanitizer
#      (clang), with a short, time-bounded fuzzing run of every fuzz target (after
#      replaying its seeds and kept findings);
#   2. the whole project (editor included) with gcc, warnings as errors, whose CTest
#      summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
jobs=$(nproc)

echo "== Sanitizer build (clang, ASan + UBSan) =="
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++ -DRIVO_SANITIZE=ON -DRIVO_BUILD_GUI=OFF \
  -DRIVO_BUILD_FUZZ=ON -DRIVO_WERROR=ON >/dev/null
cmake --build build/sanitize -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build/sanitize && ctest --output-on-failure -j "$jobs")

echo "== Release build (gcc, editor included) =="
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRIVO_WERROR=ON -DRIVO_BUILD_BENCH=ON >/dev/null
cmake --build build/release -j "$jobs"
cd build/release
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
