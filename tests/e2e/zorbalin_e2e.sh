#!/bin/bash
# The game in a real X server (Xvfb, no window manager, so positions are exact):
# first run at (10, 10), the board drawn from the background and the pebble
# bitmaps, the replay button's tooltip, a click that removes a group and Ctrl+Z
# that takes it back, a drag, the close button and the settings file, the next
# start at the new place;
# then the settings dialog (3 colours, OK, new game: only three colours show),
# the about window opened and closed; with Resume=1 the game back after a close
# and after kill -9, and Ctrl+Z on it; --deal twice gives the same board; at
# scale 2 the window doubled at its saved place, a move made with the keyboard
# and a click at a doubled pebble; the frames of a click at the display's pace:
# with the motion on the pebbles are seen falling for 150 ms and more, with
# Animation=0 the click is drawn as fast as it goes; a game played to its end
# with H and Enter alone, and the result, statistics and about windows closed by
# keys; with openbox, F1 after a
# tooltip opens the about window, and Esc minimises.
#
#   zorbalin_e2e.sh <zorbalin executable> <assets folder> <e2e_frame_grab executable>
set -u
source "$(dirname "$0")/../../scripts/x_server.sh"
source "$(dirname "$0")/../../scripts/board_pictures.sh"
PROGRAM=$1
ASSETS=$2
GRAB=$3

for tool in Xvfb xdotool xprop convert import; do
  command -v $tool >/dev/null 2>&1 || { echo "FAIL: $tool is missing (make deps)"; exit 1; }
done

WORK=$(mktemp -d /tmp/zorbalin-e2e-XXXXXX)
XVFB_PID=""
GAME_PID=""
WM_PID=""
cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

FAILURES=0
fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
check_eq() { # what expected actual
  if [ "$2" = "$3" ]; then echo "ok: $1"; else fail "$1: expected '$2', got '$3'"; fi
}

# A private copy of the program, so that no settings file beside the build's
# executable can change the run; a private home for the settings file.
copy_program "$PROGRAM" "$WORK"
mkdir -p "$WORK/home/.config"
INI="$WORK/home/.config/ZorbaLin/ZorbaLin.ini"

start_xvfb "$WORK" 1440x1080x24 || { echo "FAIL: the X server"; exit 1; }

SCALE=1 # of the program's windows
GAME_ARGS=() # the command line of the next start
launch_game() {
  HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" ZORBALIN_SCALE=$SCALE \
    "$WORK/program/zorbalin" "${GAME_ARGS[@]}" >>"$WORK/game.log" 2>&1 &
  GAME_PID=$!
}

start_game() {
  local started
  started=$(date +%s%N)
  start_with_window launch_game "$WORK/game.log" ||
    { echo "FAIL: no window of process $GAME_PID"; cat "$WORK/game.log"; exit 1; }
  echo "info: window shown $(( ($(date +%s%N) - started) / 1000000 )) ms after the start"
  sleep 0.5
}

wait_for_exit() {
  for _ in $(seq 200); do
    kill -0 "$GAME_PID" 2>/dev/null || { wait "$GAME_PID"; GAME_PID=""; return 0; }
    sleep 0.05
  done
  return 1
}

# Waits for a visible window of the game with this title; prints its id. (The
# title is compared here, since xdotool's patterns do not take accented letters.)
wait_for_window() {
  for _ in $(seq 200); do
    for id in $(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null); do
      [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
    done
    sleep 0.05
  done
  return 1
}

window_shown() { # title
  for id in $(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && return 0
  done
  return 1
}

window_geometry() { # id -> "x,y wxh"
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X,$Y ${WIDTH}x${HEIGHT}"
}

# At a larger scale every pixel is a square of equal ones: sampling gives the window back.
snapshot() { # -> $WORK/main.png, the main window's client area, 670 x 480
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  import -window root "$WORK/shot.png"
  convert "$WORK/shot.png" -crop "$((670 * SCALE))x$((480 * SCALE))+$X+$Y" +repage \
    -sample 670x480 "$WORK/main.png"
}

pixels() { pixels_of "$WORK/main.png" "$@"; }
learn_pebbles "$WORK/program/Ico"

read_board() {
  snapshot
  board_of "$WORK/main.png"
}

# TARGET="col row": the first pebble with a same-coloured neighbour right or below.
find_pair() {
  TARGET=""
  local col row c
  for col in $(seq 18); do
    for row in $(seq 9); do
      c=$(cell $col $row)
      [ "$c" = 0 ] && continue
      if { [ $col -lt 18 ] && [ "$(cell $((col + 1)) $row)" = "$c" ]; } ||
         { [ $row -lt 9 ] && [ "$(cell $col $((row + 1)))" = "$c" ]; }; then
        TARGET="$col $row"; return 0
      fi
    done
  done
  return 1
}

# Reads the board until the move has changed it and two reads 0.3 s apart agree, so that its
# motion (at most 0.4 s) is over, or a few tries went by; checks that it left a group's cells
# empty.
check_removed() { # what before
  local empty try last=""
  for try in 1 2 3 4 5 6 7 8; do
    sleep 0.3
    read_board
    [ "$BOARD" != "$2" ] && [ "$BOARD" = "$last" ] && break
    last=$BOARD
  done
  empty=$(echo "$BOARD" | tr -d 12345 | wc -c | awk '{print $1 - 1}')
  if [ "$BOARD" != "$2" ] && [ "$empty" -ge 2 ]; then
    echo "ok: $1 removed a group ($empty cells empty)"
  else
    fail "$1 changed nothing ($empty cells empty)"
  fi
}

# ---- First run ------------------------------------------------------------------------------
start_game
check_eq "first run places the window" "10,10 670x480" "$(window_geometry "$MAIN")"

read_board
check_eq "every cell shows one of four pebble bitmaps" "0" "$(echo "$BOARD" | tr -d 1234 | wc -c | awk '{print $1 - 1}')"
background=$(convert "$ASSETS/main_background.png" -format "%[fx:int(255*p{5,5}.r+0.5)],%[fx:int(255*p{5,5}.g+0.5)],%[fx:int(255*p{5,5}.b+0.5)] %[fx:int(255*p{300,470}.r+0.5)],%[fx:int(255*p{300,470}.g+0.5)],%[fx:int(255*p{300,470}.b+0.5)]" info:)
check_eq "the background is the embedded artwork" "$background" "$(pixels 5,5 300,470 | paste -sd' ')"

# Resting on the replay button shows its tooltip after a pause: a window of its own, 20 pixels
# below the pointer.
rested=$(date +%s%N)
xdotool mousemove --window "$MAIN" 354 30
if TIP=$(wait_for_window "Újrajátszás"); then
  pause=$(( ($(date +%s%N) - rested) / 1000000 ))
  echo "info: the tooltip showed $pause ms after the pointer came to rest"
  [ "$pause" -ge 600 ] || fail "the tooltip showed after $pause ms, before the pause"
  check_eq "the replay button's tooltip below the pointer" "364,60" \
    "$(window_geometry "$TIP" | cut -d' ' -f1)"
else
  fail "no tooltip over the replay button"
fi

find_pair || fail "no pair on the dealt board"
set -- $TARGET
before=$BOARD
xdotool mousemove --window "$MAIN" "$(cell_x $1)" "$(cell_y $2)" click 1
check_removed "the click on column $1, row $2" "$before"

# Ctrl+Z takes the click back: the board is shown as it was before it.
xdotool key ctrl+z
for _ in 1 2 3 4 5 6; do # a loaded machine may take a moment
  sleep 0.5
  read_board
  [ "$BOARD" = "$before" ] && break
done
check_eq "Ctrl+Z shows the board as it was before the click" "$before" "$BOARD"

# Dragging the background moves the window with the cursor.
sleep 0.6
xdotool mousemove --window "$MAIN" 150 30 mousedown 1
sleep 0.2
xdotool mousemove_relative 20 10
sleep 0.1
xdotool mousemove_relative 30 20
sleep 0.2
xdotool mouseup 1
sleep 0.3
check_eq "a drag by the background moves the window" "60,40 670x480" "$(window_geometry "$MAIN")"

sleep 0.6
xdotool mousemove --window "$MAIN" 644 24 click 1
wait_for_exit || fail "the close button did not end the program"
check_eq "settings written at close" "[Screen] Left=60 Top=40 [Game] Hard=4" \
  "$(tr -d '\r' <"$INI" 2>/dev/null | grep -v '^$' | paste -sd' ')"

# ---- Settings dialog, new game, about window ------------------------------------------------
start_game
check_eq "the next start opens the window where it was closed" "60,40 670x480" "$(window_geometry "$MAIN")"
xdotool mousemove --window "$MAIN" 450 30 click 1
if DIALOG=$(wait_for_window "Beállítások"); then
  sleep 0.3
  # Item "3" of the radio group (16, 12, 185 x 45), then "OK" (28, 72, 75 x 25).
  xdotool mousemove --window "$DIALOG" 40 40 click 1
  sleep 0.3
  xdotool mousemove --window "$DIALOG" 65 84 click 1
  sleep 0.5
  window_shown "Beállítások" && fail "the settings dialog is still open after OK"
else
  fail "the settings button opened no dialog"
fi
xdotool mousemove --window "$MAIN" 402 30 click 1 # new game
sleep 1
read_board
check_eq "after choosing 3 colours the new deal shows only colours 1 to 3" "0" \
  "$(echo "$BOARD" | tr -d 123 | wc -c | awk '{print $1 - 1}')"

xdotool mousemove --window "$MAIN" 498 30 click 1
if ABOUT=$(wait_for_window "Névjegy"); then
  check_eq "about window size (artwork and key list)" "642x300" "$(window_geometry "$ABOUT" | cut -d' ' -f2)"
  sleep 0.3
  xdotool mousemove --window "$ABOUT" 617 24 click 1
  sleep 0.5
  window_shown "Névjegy" && fail "the about window stayed open after its cross" ||
    echo "ok: about window closed"
else
  fail "the about button opened no window"
fi

sleep 0.6
xdotool mousemove --window "$MAIN" 644 24 click 1
wait_for_exit || fail "the close button did not end the program"
check_eq "the colour count reaches the settings file" "Hard=3" "$(grep -o 'Hard=[0-9]*' "$INI")"

# ---- Resume=1: the game comes back after a close and after kill -9 -----------------------------
sed -i 's/^Hard=3/Hard=3\nResume=1/' "$INI"
start_game
read_board
find_pair || fail "no pair on the dealt board"
set -- $TARGET
before=$BOARD
xdotool mousemove --window "$MAIN" "$(cell_x $1)" "$(cell_y $2)" click 1
check_removed "with Resume=1, the click on column $1, row $2" "$before"
played=$BOARD
sleep 0.6
xdotool mousemove --window "$MAIN" 644 24 click 1
wait_for_exit || fail "the close button did not end the program"
start_game
read_board
check_eq "Resume=1 brings the game back after a close" "$played" "$BOARD"

find_pair || fail "no pair left on the kept game"
set -- $TARGET
xdotool mousemove --window "$MAIN" "$(cell_x $1)" "$(cell_y $2)" click 1
check_removed "on the kept game, the click on column $1, row $2" "$played"
second=$BOARD
kill -9 "$GAME_PID"; wait "$GAME_PID" 2>/dev/null; GAME_PID=""
start_game
read_board
check_eq "Resume=1 brings the game back after kill -9" "$second" "$BOARD"
xdotool key --window "$MAIN" ctrl+z
for _ in 1 2 3 4 5 6; do
  sleep 0.5
  read_board
  [ "$BOARD" = "$played" ] && break
done
check_eq "Ctrl+Z after kill -9 and a start takes back the move made before" "$played" "$BOARD"
sleep 0.6
xdotool mousemove --window "$MAIN" 644 24 click 1
wait_for_exit || fail "the close button did not end the program"
sed -i 's/^Resume=1/Resume=0/' "$INI"

# ---- A numbered deal ---------------------------------------------------------------------------
# --deal gives the same board at every start: deal 2024 with 4 colours, column by column.
DEAL_2024_4=312143131224431342423322342411322114322343122342331131414133422422423312143231244224334211221412441311322224143343244214213144124442411342411121414433232141442431
GAME_ARGS=(--deal 2024 --colours 4)
for start in first second; do
  start_game
  read_board
  check_eq "the $start start with --deal 2024 --colours 4 shows that deal" "$DEAL_2024_4" "$BOARD"
  xdotool mousemove --window "$MAIN" 644 24 click 1
  wait_for_exit || fail "the close button did not end the program started with --deal"
done
check_eq "--colours is kept as if chosen in the settings" "Hard=4" "$(grep -o 'Hard=[0-9]*' "$INI")"
GAME_ARGS=()

# ---- Scale 2: keyboard and mouse ---------------------------------------------------------------
SCALE=2
start_game
check_eq "at scale 2 the window is doubled at its saved place" "60,40 1340x960" \
  "$(window_geometry "$MAIN")"
read_board
find_pair || fail "no pair on the dealt board"
set -- $TARGET
before=$BOARD
# The first arrow shows the ring on the lower-left pebble; on a full board every arrow moves
# it by one cell.
keys="Right"
for _ in $(seq 2 "$1"); do keys="$keys Right"; done
for _ in $(seq "$2" 8); do keys="$keys Up"; done
xdotool key --window "$MAIN" $keys Return
check_removed "Enter with the ring on column $1, row $2" "$before"

find_pair || fail "no pair left after the keyboard move"
set -- $TARGET
before=$BOARD
xdotool mousemove --window "$MAIN" $((2 * $(cell_x $1))) $((2 * $(cell_y $2))) click 1
check_removed "at scale 2, the click on column $1, row $2" "$before"
xdotool mousemove --window "$MAIN" $((2 * 644)) $((2 * 24)) click 1
wait_for_exit || fail "the close button at scale 2 did not end the program"
SCALE=1

# ---- The motion of a click -------------------------------------------------------------------
# Clicks such a pair while taking the window's picture 60 times a second, as a display shows it,
# for 1.2 s. FRAMES is the number of pictures after the first change, SPAN the milliseconds from
# the first change to the settled board.
frames_of_click() { # rows...
  read_board
  find_falling_pair "$@" || { fail "no pair with a pebble above it"; return; }
  set -- $TARGET
  rm -rf "$WORK/frames"; mkdir -p "$WORK/frames"
  "$GRAB" "$MAIN" 1200 "$WORK/frames" 16 &
  local grab=$! frames first last
  sleep 0.2
  xdotool mousemove --window "$MAIN" "$(cell_x $1)" "$(cell_y $2)" click 1
  wait "$grab" || fail "the frames of the click could not be taken"
  frames=("$WORK"/frames/frame-*.ppm)
  FRAMES=$((${#frames[@]} - 1))
  SPAN=0
  [ "$FRAMES" -ge 1 ] || { fail "the click on column $1, row $2 changed nothing"; return; }
  first=$(basename "${frames[1]}" .ppm)
  last=$(basename "${frames[-1]}" .ppm)
  SPAN=$((10#${last#frame-} - 10#${first#frame-}))
  echo "info: the click on column $1, row $2 showed $FRAMES frames over $SPAN ms"
}

# With the motion on, the pebbles take two phases of 150 ms or more to fall and slide, at the
# display's pace; drawn at once, a click lasts as long as its drawing (a few steps of a loaded
# machine, well under one phase).
start_game
frames_of_click $(seq 9 -1 2)
[ "$FRAMES" -ge 5 ] && [ "$SPAN" -ge 150 ] && echo "ok: with the motion on, the pebbles are seen falling" ||
  fail "with the motion on, the click showed $FRAMES frames over $SPAN ms"
xdotool mousemove --window "$MAIN" 644 24 click 1
wait_for_exit || fail "the close button did not end the program"
sed -i 's/^\[Screen\]\r\?$/&\nAnimation=0/' "$INI"
start_game
frames_of_click $(seq 2 9)
[ "$SPAN" -lt 150 ] && echo "ok: with Animation=0, the click is drawn at once" ||
  fail "with Animation=0, the click showed $FRAMES frames over $SPAN ms"
xdotool mousemove --window "$MAIN" 644 24 click 1
wait_for_exit || fail "the close button did not end the program"

# ---- A game played to its end with the keys alone, under no window manager ---------------------
# H puts the ring on the hinted pebble and Enter plays it; Enter closes the result window, and
# the keys belong to the game again: F3 opens the statistics window and Esc closes it. Keys go
# where the X input focus is (no --window), as a player's keys do.
start_game
moves=0
while [ "$moves" -lt 120 ]; do
  [ "$(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null | wc -l)" -ge 2 ] && break
  xdotool key h
  sleep 0.4
  xdotool key Return
  sleep 0.8
  moves=$((moves + 1))
done
if [ "$(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null | wc -l)" -ge 2 ]; then
  echo "ok: the game ended after $moves moves made with H and Enter"
  xdotool key Return
  sleep 0.5
  check_eq "Enter closes the result window" "1" \
    "$(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null | wc -l)"
else
  fail "no result window after $moves moves made with H and Enter"
fi
xdotool key F3
if STATS=$(wait_for_window "Statisztika"); then
  echo "ok: after the result window the game has the keys again"
  props=$(xprop -id "$STATS" _NET_WM_WINDOW_TYPE WM_TRANSIENT_FOR WM_NORMAL_HINTS)
  grep -q "_NET_WM_WINDOW_TYPE_DIALOG" <<<"$props" || fail "the statistics window is no dialog: $props"
  grep -q "WM_TRANSIENT_FOR(WINDOW): window id # $(printf '0x%x' "$MAIN")" <<<"$props" ||
    fail "the statistics window is not transient for the main window: $props"
  min=$(sed -n 's/.*program specified minimum size: //p' <<<"$props")
  max=$(sed -n 's/.*program specified maximum size: //p' <<<"$props")
  [ -n "$min" ] && [ "$min" = "$max" ] || fail "the statistics window's size is not fixed: $props"
  xdotool key Escape
  sleep 0.5
  window_shown "Statisztika" && fail "Esc did not close the statistics window" ||
    echo "ok: Esc closed the statistics window"
else
  fail "F3 after the result window opened no statistics window"
fi
xdotool key F1
if wait_for_window "Névjegy" >/dev/null; then
  xdotool key Return
  sleep 0.5
  window_shown "Névjegy" && fail "Enter did not close the about window" ||
    echo "ok: Enter closed the about window"
else
  fail "F1 opened no about window"
fi
# How long the program takes from the close button to its end (a figure, not a check).
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
xdotool mousemove $((X + 644)) $((Y + 24))
sleep 0.3
closed=$(date +%s%N)
xdotool click 1
wait_for_exit || fail "the close button did not end the program"
echo "info: the program ended $(( ($(date +%s%N) - closed) / 1000000 )) ms after the close button"

# ---- Esc minimises, under a small window manager ----------------------------------------------
if command -v openbox >/dev/null 2>&1; then
  openbox >"$WORK/openbox.log" 2>&1 &
  WM_PID=$!
  sleep 1
  start_game
  xdotool windowactivate --sync "$MAIN" 2>/dev/null
  # A tooltip going away leaves the program as it was: F1 then opens the about window.
  xdotool mousemove --window "$MAIN" 354 30
  if wait_for_window "Újrajátszás" >/dev/null; then
    xdotool key --window "$MAIN" F1
    if ABOUT=$(wait_for_window "Névjegy"); then
      echo "ok: under a window manager, F1 with a tooltip shown opens the about window"
      sleep 0.3
      xdotool mousemove --window "$ABOUT" 617 24 click 1
      sleep 0.5
    else
      fail "F1 with a tooltip shown opened no about window under a window manager"
    fi
  else
    fail "no tooltip over the replay button under a window manager"
  fi
  xdotool windowactivate --sync "$MAIN" 2>/dev/null
  xdotool key --window "$MAIN" Escape
  sleep 1
  if [ -z "$(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null)" ]; then
    echo "ok: Esc minimised the program"
  else
    fail "Esc did not minimise the program"
  fi
  kill "$GAME_PID" 2>/dev/null; wait "$GAME_PID" 2>/dev/null; GAME_PID=""
else
  echo "info: openbox is not installed; the minimise check is left out"
fi

if [ "$FAILURES" -ne 0 ]; then
  echo "$FAILURES check(s) failed"; cat "$WORK/game.log"; exit 1
fi
echo "all checks passed"
