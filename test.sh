#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer (the
# `asan` preset), and runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
