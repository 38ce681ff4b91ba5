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
game=
trap '[ -z "$game" ] || { kill "$game"; wait "$game"; } 2>/dev/null; rm -rf "$home"' EXIT
# A port of its own, so a game running elsewhere on this machine is not disturbed.
export VRAKO_HOME=$home VRAKO_PORT=$((20000 + RANDOM % 20000)) VRAKO_LOBBY_PORT=1
"$build/bin/vrako" >"$home/game.log" 2>&1 &
game=$!

main=$(xdotool search --sync --onlyvisible --name '^Vrako - Dovi42 Software$' | head -1)
sleep 3
# There is no window manager: the main window opens at 0,0, the side windows over it, and
# clicks are sent as the mouse.
# The lobby download window opens over the table at the start of a solo game; its "Play Solo
# Game" button closes it.
for w in $(xdotool search --onlyvisible --name '^Download The Dovi42 Lobby$' || true); do
    xdotool mousemove --window "$w" 126 304 click 1
done
sleep 1

shot() { # NAME IMPORT_ARGUMENTS...
    local name=$1
    shift
    import "$@" "$home/$name.png"
    # Fewer colours keep the files small; the table has few gradients.
    convert "$home/$name.png" -strip -colors 255 -define png:compression-level=9 "$out/$name.png"
    echo "$out/$name.png: $(identify -format '%wx%h' "$out/$name.png"), $(stat -c %s "$out/$name.png") bytes"
}

# The game start dialog, opened with the table's start button; it opens over the table, which
# is grabbed with it.
xdotool mousemove --window "$main" 567 342 click 1
dialog=$(xdotool search --sync --onlyvisible --name '^Vrako - Game Start$' | head -1)
sleep 1
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
shot game-start -window root -crop "$geometry+0+0"
# Start with the dialog's defaults (its own start button) and let the computer players move.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove --window "$dialog" $((WIDTH / 2)) $((HEIGHT - 29)) click 1
sleep 8
shot solo-game -window "$main"
