#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the two screenshots of the AppStream metadata into assets/linux/screenshots/: a solo game
# in progress and the game start dialog. Starts the built game on its own X server (Xvfb) with a
# fresh data folder, drives it with xdotool and grabs the main window with ImageMagick.
# Needs xvfb, xauth, xdotool and imagemagick. Run by hand after changing the look of the table;
# the PNG files are committed and the build never runs this.
# Usage: tools/gen_screenshots.sh [BUILD_DIR]   (default build-release)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-release}
out=$here/assets/linux/screenshots

if [ -z "${VRAKO_SHOT_INNER:-}" ]; then
    for tool in xvfb-run xdotool import convert; do
        command -v "$tool" >/dev/null || {
            echo "gen_screenshots.sh: $tool is missing" >&2
            exit 1
        }
    done
    [ -x "$build/bin/vrako" ] || {
        echo "gen_screenshots.sh: no $build/bin/vrako (build the game first)" >&2
        exit 1
    }
    mkdir -p "$out"
    VRAKO_SHOT_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi

# From here on we run inside xvfb-run, on its display.
home=$(mktemp -d)
trap 'kill "$game" 2>/dev/null; wait "$game" 2>/dev/null; rm -rf "$home"' EXIT
# A port of its own, so a game running elsewhere on this machine is not disturbed.
export VRAKO_HOME=$home VRAKO_PORT=$((20000 + RANDOM % 20000)) VRAKO_LOBBY_PORT=1
"$build/bin/vrako" >"$home/game.log" 2>&1 &
game=$!

main=$(xdotool search --sync --onlyvisible --name '^Vrako - Dovi42 Software$' | head -1)
sleep 2
# The lobby download window opens over the table at the start of a solo game; close it.
for w in $(xdotool search --onlyvisible --name '^Download The Dovi42 Lobby$' || true); do
    xdotool windowclose "$w" 2>/dev/null || xdotool windowunmap "$w"
done
xdotool windowmove "$main" 0 0
xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
sleep 1

shot() { # NAME WINDOW
    import -window "$2" "$home/$1.png"
    # Fewer colours keep the files small; the table has few gradients.
    convert "$home/$1.png" -strip -colors 255 -define png:compression-level=9 "$out/$1.png"
    echo "$out/$1.png: $(identify -format '%wx%h' "$out/$1.png"), $(stat -c %s "$out/$1.png") bytes"
}

# The game start dialog, opened from File, Start Game.
xdotool key --window "$main" alt+f
sleep 0.5
xdotool key Return
dialog=$(xdotool search --sync --onlyvisible --name '^Vrako - Game Start$' | head -1)
sleep 1
xdotool windowmove "$dialog" 180 140
sleep 0.5
shot game-start root
# Start with the dialog's defaults and let the computer players make a few moves.
xdotool key --window "$dialog" Return
sleep 8
shot solo-game "$main"
