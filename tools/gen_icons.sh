#!/bin/sh
# SPDX-License-Identifier: MIT
# Paints the desktop icon into assets/linux/icons/ (a hicolor tree: scalable SVG and PNGs at 48,
# 64, 128 and 256 pixels) with the card painting code. Needs the Qt SVG module (qt6-svg-dev).
# Run by hand after changing the icon; the files are committed and the build never runs this.
# Usage: tools/gen_icons.sh [BUILD_DIR]   (default build-icons, configured when missing)
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-icons}
id=io.github.vrako.Vrako

[ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVRAKO_BENCH=OFF >/dev/null
if ! cmake --build "$build" -j2 --target vrako-make-icon >/dev/null; then
    echo "gen_icons.sh: cannot build vrako-make-icon (is qt6-svg-dev installed?)" >&2
    exit 1
fi
rm -rf "$here/assets/linux/icons"
QT_QPA_PLATFORM=offscreen "$build/bin/vrako-make-icon" "$here/assets/linux/icons" "$id"
find "$here/assets/linux/icons" -type f | sort | while read -r f; do
    printf '%s %s bytes\n' "${f#"$here"/}" "$(stat -c %s "$f")"
done
