#!/bin/bash
# Renders the screenshots that the README and the AppStream file show from the real program in
# Xvfb, so that they show the game as it is: a game in progress at scale 1 (committed as
# docs/screenshots/zorbalin.png), the same at scale 2 (docs/screenshots/zorbalin-scale2.png),
# the frames of one click's motion side by side (docs/screenshots/motion-strip.png), and in
# English the main window with a button's tooltip (zorbalin-en.png) and the statistics window
# after a few dozen games (statistics-en.png).
#
#   scripts/screenshots.sh [PROGRAM [FOLDER]]
#
# PROGRAM is the game's executable (default build/zorbalin, with its Ico/ beside it, and the
# frame grabber e2e_frame_grab beside it for the strip). With FOLDER, the two shots are also
# copied there as zorbalin-scale1.png and zorbalin-scale2.png.
# Needs Xvfb, xdotool and ImageMagick (make deps installs them).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/x_server.sh"
source "$here/scripts/board_pictures.sh"
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

# The frame nearest to a time (milliseconds after the first change) among the frames given.
frame_at() { # time frames...
  local want=$1 best="" distance=100000 name at
  shift
  for name in "$@"; do
    at=$(basename "$name" .ppm); at=$((10#${at#frame-}))
    if [ $(( at > want ? at - want : want - at )) -lt "$distance" ]; then
      distance=$(( at > want ? at - want : want - at )); best=$name
    fi
  done
  echo "$best"
}

# TARGET="col row": a pebble with a neighbour of its colour in the column that holds the fewest
# pebbles, so that columns empty soon; "" when no move is left.
find_short_column_pair() {
  TARGET=""
  local col row c fewest=10 count
  for col in $(seq 18); do
    count=$(echo "${BOARD:$(( (col - 1) * 9 )):9}" | tr -d 0 | wc -c)
    count=$((count - 1))
    [ "$count" -eq 0 ] || [ "$count" -ge "$fewest" ] && continue
    for row in $(seq 9 -1 1); do
      c=$(cell $col $row)
      [ "$c" = 0 ] && continue
      if { [ $col -lt 18 ] && [ "$(cell $((col + 1)) $row)" = "$c" ]; } ||
         { [ $col -gt 1 ] && [ "$(cell $((col - 1)) $row)" = "$c" ]; } ||
         { [ $row -gt 1 ] && [ "$(cell $col $((row - 1)))" = "$c" ]; } ||
         { [ $row -lt 9 ] && [ "$(cell $col $((row + 1)))" = "$c" ]; }; then
        TARGET="$col $row"; fewest=$count; break
      fi
    done
  done
  [ -n "$TARGET" ]
}

# motion_strip OUTPUT: plays with three colours, always in the shortest column, until a click
# both drops pebbles and closes a column (its frames span the fall and the slide), and puts five
# of its frames side by side: the board before, two frames of the fall, one of the slide, and
# the board after.
motion_strip() {
  local output=$1 grab frames t0 try
  grab=$(dirname "$program")/e2e_frame_grab
  [ -x "$grab" ] || { echo "screenshots.sh: no $grab; no motion strip" >&2; return 1; }
  shot_scale=1 shot_config=$work/config-motion
  mkdir -p "$shot_config/ZorbaLin"
  printf '[Screen]\r\nLeft=0\r\nTop=0\r\n[Game]\r\nHard=3\r\n' >"$shot_config/ZorbaLin/ZorbaLin.ini"
  start_with_window launch_game "$work/game.log" ||
    fail "the game showed no window: $(cat "$work/game.log")"
  sleep 0.5
  learn_pebbles "$(dirname "$program")/Ico"
  for try in $(seq 150); do
    import -window "$MAIN" "$work/board.png"
    board_of "$work/board.png"
    if ! find_short_column_pair; then
      xdotool key --window "$MAIN" F2 # no move left: a new deal
      sleep 0.5
      continue
    fi
    set -- $TARGET
    rm -rf "$work/frames"; mkdir -p "$work/frames"
    "$grab" "$MAIN" 900 "$work/frames" 16 &
    local grabber=$!
    sleep 0.15
    xdotool mousemove --window "$MAIN" "$(cell_x $1)" "$(cell_y $2)" click 1
    wait "$grabber" || continue
    frames=("$work"/frames/frame-*.ppm)
    [ "${#frames[@]}" -ge 3 ] || continue
    t0=$(basename "${frames[1]}" .ppm); t0=$((10#${t0#frame-}))
    local end; end=$(basename "${frames[-1]}" .ppm); end=$((10#${end#frame-}))
    [ $((end - t0)) -ge 300 ] || continue
    convert "${frames[0]}" "$(frame_at $((t0 + 50)) "${frames[@]:1}")" \
      "$(frame_at $((t0 + 120)) "${frames[@]:1}")" "$(frame_at $((t0 + 260)) "${frames[@]:1}")" \
      "${frames[-1]}" -bordercolor white -border 6 +append -resize 50% -strip \
      -define png:exclude-chunks=date,time "$output"
    echo "screenshots.sh: motion strip after $try clicks -> $output"
    kill "$GAME_PID"; wait "$GAME_PID" 2>/dev/null || true; GAME_PID=""
    return 0
  done
  kill "$GAME_PID"; wait "$GAME_PID" 2>/dev/null || true; GAME_PID=""
  echo "screenshots.sh: no click dropped pebbles and closed a column" >&2
  return 1
}

if [ "${SCREENSHOTS_ONLY:-}" = strip ]; then
  motion_strip "$here/docs/screenshots/motion-strip.png"
  exit
fi

# shoot_english: the game in English with a few dozen results of four colours behind it; the
# pointer rests on the new-game button until its tooltip shows, then Ctrl+T opens the statistics.
shoot_english() {
  shot_scale=1 shot_config=$work/config-en
  mkdir -p "$shot_config/ZorbaLin"
  printf '%s\r\n' '[Screen]' 'Left=0' 'Top=0' 'Language=en' '[Game]' 'Hard=4' '[Stats]' \
    'Finished3=12' 'Best3=2' 'Total3=96' 'Praised3=10' 'Cleared3=1' 'Recent3=8,5,2,9,11,6' \
    'Finished4=37' 'Best4=3' 'Total4=529' 'Praised4=14' 'Cleared4=0' \
    'Recent4=14,9,22,17,6,12,31,8,15,11,19,7,13,25,10,16,3,18,12,9' \
    'Finished5=5' 'Best5=21' 'Total5=160' 'Praised5=0' 'Cleared5=0' 'Recent5=21,40,33,36,30' \
    >"$shot_config/ZorbaLin/ZorbaLin.ini"
  start_with_window launch_game "$work/game.log" ||
    fail "the game showed no window: $(cat "$work/game.log")"
  sleep 0.5
  xdotool mousemove --window "$MAIN" 402 30
  sleep 1.5
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip \
    -define png:exclude-chunks=date,time "$1"
  xdotool mousemove 1590 1190 key --window "$MAIN" ctrl+t
  local stats=""
  for _ in $(seq 100); do
    stats=$(xdotool search --onlyvisible --name '^Statistics$' 2>/dev/null | head -1) || true
    [ -n "$stats" ] && break
    sleep 0.1
  done
  [ -n "$stats" ] || fail "no statistics window: $(cat "$work/game.log")"
  sleep 1.5 # the machine's best for the deal may come meanwhile
  eval "$(xdotool getwindowgeometry --shell "$stats")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip \
    -define png:exclude-chunks=date,time "$2"
  kill "$GAME_PID"
  wait "$GAME_PID" 2>/dev/null || true
  GAME_PID=""
  echo "screenshots.sh: English: $1, $2"
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
motion_strip "$here/docs/screenshots/motion-strip.png" || true
shoot_english "$work/english.png" "$work/statistics-en.png"
cp "$work/english.png" "${target%.png}-en.png"
cp "$work/statistics-en.png" "$(dirname "$target")/statistics-en.png"
exit 0
