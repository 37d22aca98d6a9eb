#!/bin/bash
# The game where things go wrong, in a real X server: no display at all; a saved
# place off every monitor; drags by relative steps, 1-pixel steps and pointer
# warps; accented window titles for older window managers; SIGTERM, SIGINT and
# SIGHUP; a settings file that cannot be written; then under a window manager
# (openbox) the first placement of the settings dialog and, with a CPU hog beside
# it, the settings dialog opened and closed again and again.
#
#   zorbalin_robustness_e2e.sh <zorbalin executable> [rounds of the dialog under load, 10]
set -u
source "$(dirname "$0")/../../scripts/x_server.sh"
PROGRAM=$1
ROUNDS=${2:-10}

for tool in Xvfb xdotool xprop xwininfo openbox; do
  command -v $tool >/dev/null 2>&1 || { echo "FAIL: $tool is missing (make deps)"; exit 1; }
done

WORK=$(mktemp -d /tmp/zorbalin-e2e-XXXXXX)
XVFB_PID=""
GAME_PID=""
WM_PID=""
HOG_PIDS=""
cleanup() {
  for pid in $GAME_PID $HOG_PIDS $WM_PID $XVFB_PID; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  [ -n "${ZORBALIN_E2E_KEEP:-}" ] && echo "kept $WORK" || rm -rf "$WORK"
}
trap cleanup EXIT

FAILURES=0
fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
check_eq() { # what expected actual
  if [ "$2" = "$3" ]; then echo "ok: $1 (${SECONDS}s)"; else fail "$1: expected '$2', got '$3'"; fi
}

# A private copy of the program (no settings file beside it) and a private home.
copy_program "$PROGRAM" "$WORK"
mkdir -p "$WORK/home/.config/ZorbaLin"
CONFIG="$WORK/home/.config"
INI="$CONFIG/ZorbaLin/ZorbaLin.ini"
settings() { tr -d '\r' 2>/dev/null <"$INI" | grep -v '^$' | paste -sd' '; }

run_game() { # [env arguments...]: starts the game in the background
  # A script's background jobs start with SIGINT ignored, which the game would respect.
  env --default-signal=INT,HUP "$@" HOME="$WORK/home" XDG_CONFIG_HOME="$CONFIG" \
    "$WORK/program/zorbalin" >"$WORK/game.log" 2>&1 &
  GAME_PID=$!
}

# Waits until the game has taken over SIGTERM (its loop is about to run).
wait_for_handlers() {
  for _ in $(seq 200); do
    mask=$(awk '/^SigCgt/ {print $2}' "/proc/$GAME_PID/status" 2>/dev/null)
    [ -n "$mask" ] && (( 0x$mask & 0x4000 )) && return 0
    sleep 0.02
  done
  return 1
}

wait_for_exit() { # -> $EXIT_STATUS
  for _ in $(seq 200); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      wait "$GAME_PID"; EXIT_STATUS=$?; GAME_PID=""; return 0
    fi
    sleep 0.05
  done
  EXIT_STATUS=timeout
  return 1
}

# ---- No display ------------------------------------------------------------------------------
env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$WORK/no-runtime" HOME="$WORK/home" \
  XDG_CONFIG_HOME="$CONFIG" timeout 20 "$WORK/program/zorbalin" >"$WORK/nodisplay.log" 2>&1
check_eq "without a display the program ends with status 1" "1" "$?"
check_eq "and says why" "zorbalin: cannot open the display" \
  "$(grep -o '^zorbalin: cannot open the display' "$WORK/nodisplay.log")"

# A display whose socket refuses every connection is asked again for a second: a server
# under load refuses now and then. Only then does the start give up, as above.
refusing="/tmp/.X11-unix/X$((6000 + $$ % 1000))"
mkdir -p /tmp/.X11-unix
perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Type => SOCK_STREAM(), Local => $ARGV[0]) or die "$!"' \
  "$refusing"
started=$(date +%s%N)
env -u WAYLAND_DISPLAY DISPLAY=":${refusing##*X}" HOME="$WORK/home" XDG_CONFIG_HOME="$CONFIG" \
  timeout 20 "$WORK/program/zorbalin" >"$WORK/refused.log" 2>&1
status=$?
asked_for_ms=$((($(date +%s%N) - started) / 1000000))
rm -f "$refusing"
check_eq "a display that refuses ends the start with status 1" "1" "$status"
check_eq "after asking again for a second" "yes" "$([ "$asked_for_ms" -ge 1000 ] && echo yes || echo "no, $asked_for_ms ms")"

# A driver without a screen, named on purpose, runs; SIGTERM ends it with a save.
run_game -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy
wait_for_handlers || fail "the game on the dummy driver did not start"
kill -TERM "$GAME_PID"
wait_for_exit
check_eq "SIGTERM ends the game on a named driver, status 0" "0" "$EXIT_STATUS"
check_eq "and its settings are saved" "[Screen] Left=10 Top=10 [Game] Hard=4" "$(settings)"

# ---- An X server without a window manager ---------------------------------------------------
start_xvfb "$WORK" 1024x768x24 || { echo "FAIL: the X server"; exit 1; }

start_game() {
  start_with_window run_game "$WORK/game.log" ||
    { echo "FAIL: no window of process $GAME_PID"; exit 1; }
  sleep 0.3
}

other_window() { # a shown window of the game other than the main one
  for id in $(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null); do
    [ "$id" != "$MAIN" ] && { echo "$id"; return 0; }
  done
  return 1
}
wait_for_other_window() {
  for _ in $(seq 200); do other_window && return 0; sleep 0.02; done
  return 1
}
wait_until_alone() {
  for _ in $(seq 200); do other_window >/dev/null || return 0; sleep 0.02; done
  return 1
}
position() { # id -> "x,y" of the client area on the screen
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {print x "," $4}'
}
open_settings() { xdotool mousemove --window "$MAIN" 450 30 click 1; wait_for_other_window; }

# A saved place that leaves nothing of the title strip on the screen.
printf '[Screen]\nLeft=-5000\nTop=99999\n' >"$INI"
start_game
check_eq "a saved place off every monitor opens at 10,10" "10,10" "$(position "$MAIN")"

# The window follows the pointer exactly, however the pointer moves.
xdotool mousemove --window "$MAIN" 150 30 mousedown 1
sleep 0.2
xdotool mousemove_relative 10 0
sleep 0.1
xdotool mousemove_relative 10 0
sleep 0.3
check_eq "two relative steps of 10 px" "30,10" "$(position "$MAIN")"
for _ in $(seq 20); do xdotool mousemove_relative 1 1; done
sleep 0.3
check_eq "twenty 1-pixel steps" "50,30" "$(position "$MAIN")"
xdotool mousemove 240 75 # a warp, 40 right and 15 down of where the pointer was
sleep 0.3
check_eq "a pointer warp" "90,45" "$(position "$MAIN")"
xdotool mouseup 1

# The legacy title property is Latin-1 ("Beállítások"), not raw UTF-8.
if DIALOG=$(open_settings); then
  sleep 0.2
  check_eq "the dialog's WM_NAME" \
    "WM_NAME(STRING) = 0x42, 0x65, 0xe1, 0x6c, 0x6c, 0xed, 0x74, 0xe1, 0x73, 0x6f, 0x6b" \
    "$(xprop -id "$DIALOG" -f WM_NAME 8x WM_NAME)"
  xdotool mousemove --window "$DIALOG" 150 84 click 1 # "Mégsem"
  wait_until_alone || fail "the settings dialog did not close"
else
  fail "the settings button opened no dialog"
fi
sleep 0.3

# SIGTERM and SIGINT end the program with one save, even from a dialog.
for signal in TERM INT; do
  [ -n "$GAME_PID" ] || start_game # at the place saved last
  rm -f "$INI"
  if [ "$signal" = TERM ]; then open_settings >/dev/null || fail "no dialog before SIGTERM"; fi
  kill -$signal "$GAME_PID"
  wait_for_exit
  check_eq "SIG$signal ends the program with status 0" "0" "$EXIT_STATUS"
  check_eq "SIG$signal saves the settings" "[Screen] Left=90 Top=45 [Game] Hard=4" "$(settings)"
done

# Settings that cannot be written: the box once, then the next close request closes.
mv "$CONFIG/ZorbaLin" "$WORK/config-saved"
echo "in the way" >"$CONFIG/ZorbaLin"
start_game
xdotool mousemove --window "$MAIN" 644 24 click 1
if BOX=$(wait_for_other_window); then
  check_eq "the error box" "ZorbaLin" "$(xdotool getwindowname "$BOX")"
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$BOX")"
  xdotool mousemove --window "$BOX" $((WIDTH / 2)) $((HEIGHT - 25)) click 1 # its OK button
  wait_until_alone || fail "OK did not close the error box"
  sleep 0.6
else
  fail "an unwritable settings file showed no box"
fi
xdotool mousemove --window "$MAIN" 644 24 click 1
wait_for_exit
check_eq "the second close request closes the program" "0" "$EXIT_STATUS"

# SIGHUP, with settings that cannot be written: the end all the same, and no box.
start_game
kill -HUP "$GAME_PID"
wait_for_exit
check_eq "SIGHUP ends the program with status 0" "0" "$EXIT_STATUS"
check_eq "without a box, with a line on the standard error" "1" \
  "$(grep -c 'Unable to write to' "$WORK/game.log")"
rm -f "$CONFIG/ZorbaLin"
mv "$WORK/config-saved" "$CONFIG/ZorbaLin"

# ---- Under a window manager ------------------------------------------------------------------
openbox >"$WORK/openbox.log" 2>&1 &
WM_PID=$!
sleep 1
printf '[Screen]\nLeft=10\nTop=10\n' >"$INI"
start_game

# The first dialog of the run is centred by its outer size, frame included.
if DIALOG=$(open_settings); then
  sleep 0.3
  read -r fl fr ft fb < <(xprop -id "$DIALOG" _NET_FRAME_EXTENTS | tr -d , | cut -d' ' -f3-)
  IFS=, read -r mx my <<<"$(position "$MAIN")"
  check_eq "the first settings dialog is centred by its outer size" \
    "$((mx + (670 - 218 - fl - fr) / 2 + fl)),$((my + (480 - 112 - ft - fb) / 2 + ft))" \
    "$(position "$DIALOG")"
  timeout 10 xdotool windowactivate --sync "$DIALOG" key Escape 2>/dev/null
  wait_until_alone || fail "Esc did not close the settings dialog"
else
  fail "the settings button opened no dialog under openbox"
fi

# The dialog again and again, with the X server slowed down and a CPU hog beside it:
# every request about a closed dialog must be harmless.
renice -n 10 -p "$XVFB_PID" >/dev/null
for _ in 1 2; do
  timeout 60 sh -c 'while :; do :; done' &
  HOG_PIDS="$HOG_PIDS $!"
done
# Under this load a click or a key may be lost on the way (the window manager passes them
# on): each is tried twice before the round counts as failed.
close_dialog() {
  timeout 10 xdotool windowactivate --sync "$1" key Escape 2>/dev/null
  wait_until_alone
}
rounds=0
for round in $(seq "$ROUNDS"); do
  DIALOG=$(open_settings || open_settings) || { fail "round $round: no dialog"; break; }
  close_dialog "$DIALOG" || close_dialog "$DIALOG" || { fail "round $round: no close"; break; }
  timeout 10 xdotool windowactivate --sync "$MAIN" key a 2>/dev/null
  sleep 0.05
  kill -0 "$GAME_PID" 2>/dev/null || break
  rounds=$round
done
kill $HOG_PIDS 2>/dev/null
HOG_PIDS=""
check_eq "$ROUNDS rounds of the settings dialog under load, the game alive" "$ROUNDS alive" \
  "$rounds $(kill -0 "$GAME_PID" 2>/dev/null && echo alive || echo gone)"
check_eq "no X error ended anything" "0" "$(grep -c 'X Error of failed request' "$WORK/game.log")"

if [ "$FAILURES" -ne 0 ]; then
  echo "$FAILURES check(s) failed"; cat "$WORK/game.log"; exit 1
fi
echo "all checks passed"
