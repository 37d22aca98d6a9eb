# Reading the board from a picture of the main window, for the end-to-end tests and the
# screenshot script (sourced, bash).
#
#   learn_pebbles "$ICO_FOLDER"     the colour of each pebble bitmap
#   board_of PICTURE                BOARD: 162 digits, column by column, 0 for no pebble
#   cell COL ROW                    a digit of BOARD
#   find_falling_pair ROWS...       TARGET="col row": a pair with a pebble above it

# Prints "r,g,b" for each "x,y" argument (pixels of the picture), one per line; one call of
# convert reads them all.
pixels_of() { # picture x,y...
  local format="" point picture=$1
  shift
  for point in "$@"; do
    format="$format%[fx:int(255*p{$point}.r+0.5)],%[fx:int(255*p{$point}.g+0.5)],%[fx:int(255*p{$point}.b+0.5)]\n"
  done
  convert "$picture" -format "$format" info:
}

# The colour of the body of each pebble bitmap, at (8, 21) of the 35 x 43 picture, which is
# drawn at its natural size.
declare -A PEBBLE
learn_pebbles() { # Ico folder
  local c rgb
  for c in 1 2 3 4 5; do
    rgb=$(pixels_of "$1/$c.bmp" 8,21)
    PEBBLE[$rgb]=$c
  done
}

# The picture is the client area at scale 1 (a larger scale sampled down to it).
board_of() { # picture
  local points="" col row rgb
  for col in $(seq 18); do
    for row in $(seq 9); do
      points="$points $((35 * col - 15 + 8)),$((43 * row + 20 + 21))"
    done
  done
  BOARD=""
  while read -r rgb; do BOARD="$BOARD${PEBBLE[$rgb]:-0}"; done < <(pixels_of "$1" $points)
}
cell() { echo "${BOARD:$(( ($1 - 1) * 9 + $2 - 1 )):1}"; } # col row
cell_x() { echo $((35 * $1 - 15 + 17)); } # the middle of a cell, client coordinates
cell_y() { echo $((43 * $1 + 20 + 21)); }

# A pair with a pebble above it, so that pebbles fall when it goes; the rows are searched in the
# order given (from the bottom: many pebbles fall; from the top: few), each from the left.
find_falling_pair() { # rows...
  TARGET=""
  local col row c
  for row in "$@"; do
    for col in $(seq 18); do
      c=$(cell $col $row)
      [ "$c" = 0 ] || [ "$(cell $col $((row - 1)))" = 0 ] && continue
      if { [ $col -lt 18 ] && [ "$(cell $((col + 1)) $row)" = "$c" ]; } ||
         { [ "$(cell $col $((row - 1)))" = "$c" ] && [ $row -gt 2 ] &&
           [ "$(cell $col $((row - 2)))" != 0 ]; }; then
        TARGET="$col $row"; return 0
      fi
    done
  done
  return 1
}
