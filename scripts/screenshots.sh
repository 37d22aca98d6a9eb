#!/bin/bash
# Renders the screenshots that the README and the AppStream file show from the real program in
# Xvfb, so that they show the game as it is: a game in progress at scale 1 (committed as
# docs/screenshots/zorbalin.png) and the same at scale 2 (docs/screenshots/zorbalin-scale2.png).
#
#   scripts/screenshots.sh [PROGRAM [FOLDER]]
#
# PROGRAM is the game's executable (default build/zorbalin, with its Ico/ beside it). With FOLDER,
# both shots are also copied there as zorbalin-scale1.png and zorbalin-scale2.png.
# Needs Xvfb, xdotool and ImageMagick (make deps installs them).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/x_server.sh"
program=$(realpath "${1:-$here/build/zorbalin}")
copies=${2:-}
target=$here/docs/screenshots/zorbalin.png

work=$(mktemp -d /tmp/zorbalin-shots-XXXXXX)
XVFB_PID="" GAME_PID=""
cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "screenshots.sh: $*" >&2; exit 1; }

[ -x "$program" ] || fail "no program at $program (make build first)"
start_xvfb "$work" 1600x1200x24 || fail "the X server"

# Starts the game with the settings and at the scale of the shot being taken.
launch_game() {
  XDG_CONFIG_HOME=$shot_config ZORBALIN_SCALE=$shot_scale "$program" >>"$work/game.log" 2>&1 &
  GAME_PID=$!
}

# shoot SCALE OUTPUT: starts the game at the upper left corner of the screen with four colours,
# plays a few clicks along the bottom row, and saves the window.
shoot() {
  shot_scale=$1 shot_config=$work/config-$1
  mkdir -p "$shot_config/ZorbaLin"
  printf '[Screen]\r\nLeft=0\r\nTop=0\r\n[Game]\r\nHard=4\r\n' >"$shot_config/ZorbaLin/ZorbaLin.ini"
  start_with_window launch_game "$work/game.log" ||
    fail "the game showed no window: $(cat "$work/game.log")"
  sleep 0.5
  # Clicks at pebbles of the bottom row (logical pixels, enlarged by the scale); a pebble
  # without a neighbour of its colour stays, so the board differs from shot to shot.
  for column in 3 7 12 16; do
    xdotool mousemove --window "$MAIN" $(( (35 * column + 2) * $1 )) $(( 428 * $1 )) click 1
    sleep 0.8
  done
  xdotool mousemove 1590 1190
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip \
    -define png:exclude-chunks=date,time "$2"
  kill "$GAME_PID"
  wait "$GAME_PID" 2>/dev/null || true
  GAME_PID=""
  echo "screenshots.sh: scale $1: ${WIDTH}x${HEIGHT} -> $2"
  [ "${WIDTH}x${HEIGHT}" = "$((670 * $1))x$((480 * $1))" ]
}

shoot 1 "$work/scale1.png" || fail "the window at scale 1 is not 670 x 480"
mkdir -p "$(dirname "$target")"
cp "$work/scale1.png" "$target"
[ -n "$copies" ] && mkdir -p "$copies" && cp "$work/scale1.png" "$copies/zorbalin-scale1.png"
if shoot 2 "$work/scale2.png"; then
  cp "$work/scale2.png" "${target%.png}-scale2.png"
  [ -n "$copies" ] && cp "$work/scale2.png" "$copies/zorbalin-scale2.png"
else
  echo "screenshots.sh: this program does not scale by ZORBALIN_SCALE; no shot at scale 2" >&2
fi
exit 0
