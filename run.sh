#!/usr/bin/env bash
# Builds a release build and starts the game: ./run.sh [name host true|false]
# With no arguments it starts a solo game against three computer players.
set -euo pipefail
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no display found (set DISPLAY or WAYLAND_DISPLAY to start the game window)" >&2
    exit 1
fi
tools/deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVRAKO_BENCH=OFF >/dev/null
cmake --build build-release -j2 --target vrako >/dev/null
exec build-release/bin/vrako "$@"
