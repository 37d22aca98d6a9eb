# A private X server for the scripts that drive the real game: the end-to-end
# and package tests and scripts/screenshots.sh source this file. Its functions
# also hold under `set -euo pipefail`.

# start_xvfb FOLDER SCREEN: starts Xvfb on a free display with one screen of SCREEN
# (WIDTHxHEIGHTxDEPTH), keeping its log in FOLDER; sets XVFB_PID and exports DISPLAY
# once the server answers. Fails, saying so with Xvfb's log, when it does not start.
start_xvfb() {
  local folder=$1 screen=$2
  # Xvfb picks a free display and writes its number to the given descriptor.
  exec 5>"$folder/display"
  Xvfb -displayfd 5 -screen 0 "$screen" -nolisten tcp >"$folder/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do [ -s "$folder/display" ] && break; sleep 0.1; done
  exec 5>&-
  if [ ! -s "$folder/display" ]; then
    echo "Xvfb did not start: $(cat "$folder/xvfb.log")"
    return 1
  fi
  export DISPLAY=":$(head -1 "$folder/display")"
  # On a busy machine a first connection can come before the server takes any.
  for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && return 0; sleep 0.05; done
}

# copy_program PROGRAM FOLDER: a private copy of the game, its pebble bitmaps and its
# translation catalogues in FOLDER/program, so that no settings file beside the build's
# executable changes a run.
copy_program() {
  mkdir -p "$2/program"
  cp "$1" "$2/program/zorbalin"
  cp -r "$(dirname "$1")/Ico" "$2/program/Ico"
  if [ -d "$(dirname "$1")/locale" ]; then cp -r "$(dirname "$1")/locale" "$2/program/locale"; fi
}

# start_with_window START LOG: runs the function START, which starts the game in the
# background and sets GAME_PID, and waits up to 20 s for a shown window of that process;
# sets MAIN to its id. The game itself asks a refusing display again, so a start that ends,
# or shows no window in time, is a failure: the game is ended and its LOG shown.
start_with_window() {
  "$1"
  MAIN=""
  for _ in $(seq 400); do
    MAIN=$(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null | head -1) || true
    [ -n "$MAIN" ] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.05
  done
  kill "$GAME_PID" 2>/dev/null || true
  wait "$GAME_PID" 2>/dev/null || true
  echo "the game showed no window: $(cat "$2")"
  return 1
}
