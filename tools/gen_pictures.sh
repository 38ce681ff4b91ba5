#!/bin/sh
# SPDX-License-Identifier: MIT
# Draws the download window's picture into assets/pictures/lobby.jpg with the vrako-lobbyart
# program of a build folder (default: build). Run by hand after changing the drawing; the JPEG
# is committed and the build never runs this script.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
cmake --build "$build" --target vrako-lobbyart -j2
mkdir -p "$here/assets/pictures"
"$build/bin/vrako-lobbyart" "$here/assets/pictures/lobby.jpg"
ls -l "$here/assets/pictures/lobby.jpg"
