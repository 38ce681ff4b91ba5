#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# every test with ctest.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVRAKO_SANITIZE=ON -DVRAKO_BENCH=OFF -DVRAKO_WERROR=ON >/dev/null
cmake --build build-asan -j2
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan -j2 --output-on-failure
