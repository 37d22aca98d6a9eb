#!/bin/sh
# Renders the editable sources in src/ into the PNG and BMP files that are committed beside them.
# Needed only when the artwork changes; the build uses the committed files and needs no renderer.
# Tools (Debian): rsvg-convert (librsvg2-bin), convert (imagemagick); fonts: fonts-urw-base35,
# fonts-dejavu-core.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
src=$here/src
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The board tray of the main background; every pebble cell is painted on it, so that a pebble's
# box merges with the tray around it (also while it moves).
TRAY='#2a1312'

# svg_to_png SOURCE WIDTH HEIGHT TARGET
svg_to_png() {
  rsvg-convert --width "$2" --height "$3" --format png --output "$tmp/out.png" "$1"
  # Straight 8-bit RGBA, no gamma or time chunks, so that the files stay byte-stable.
  convert "$tmp/out.png" -define png:color-type=6 -define png:bit-depth=8 \
    -define png:exclude-chunks=date,time,gAMA,cHRM,bKGD,sRGB,pHYs,tEXt,zTXt,iTXt "PNG32:$4"
}

# opaque_png SOURCE WIDTH HEIGHT TARGET: like svg_to_png, for pictures that must cover their box.
opaque_png() {
  rsvg-convert --width "$2" --height "$3" --format png --output "$tmp/out.png" "$1"
  convert "$tmp/out.png" -background black -flatten -alpha on -channel A -evaluate set 100% +channel \
    -define png:color-type=6 -define png:bit-depth=8 \
    -define png:exclude-chunks=date,time,gAMA,cHRM,bKGD,sRGB,pHYs,tEXt,zTXt,iTXt "PNG32:$4"
}

# pebble CODE BASE LIGHT DARK MARK LIP: one 35 x 43 cell picture, 24-bit bottom-up BMP.
pebble() {
  sed -e "s/@CODE@/$1/g" -e "s/@BASE@/$2/g" -e "s/@LIGHT@/$3/g" -e "s/@DARK@/$4/g" \
      -e "s/@MARK@/$5/g" -e "s/@LIP@/$6/g" -e "s/@TRAY@/$TRAY/g" \
      "$src/pebble.svg.in" > "$tmp/pebble.svg"
  rsvg-convert --width 35 --height 43 --format png --output "$tmp/pebble.png" "$tmp/pebble.svg"
  convert "$tmp/pebble.png" -background "$TRAY" -flatten -alpha off -type TrueColor \
    -define bmp:format=bmp3 "BMP3:$here/Ico/$1.bmp"
}

# Window artwork: fully opaque.
opaque_png "$src/main_background.svg" 670 480 "$here/main_background.png"
opaque_png "$src/result_panel.svg"    225 150 "$here/result_panel.png"
opaque_png "$src/about_panel.svg"     367 300 "$here/about_panel.png"
opaque_png "$src/stats_panel.svg"     400 330 "$here/stats_panel.png"

# Button icons: RGBA with soft edges, drawn over the artwork.
for name in replay new_game settings about news home; do
  svg_to_png "$src/button_$name.svg" 32 32 "$here/button_$name.png"
done
for name in minimise close; do
  svg_to_png "$src/button_$name.svg" 16 16 "$here/button_$name.png"
done

# Program icon: the small drawing for 16 pixels, the full one above.
mkdir -p "$here/icons"
svg_to_png "$src/icon_small.svg" 16 16 "$here/icons/zorbalin-16.png"
for size in 24 32 48 64 128 256; do
  svg_to_png "$src/icon.svg" "$size" "$size" "$here/icons/zorbalin-$size.png"
done

mkdir -p "$here/Ico"
# Hues and lightness differ, so that the colours stay apart also for colour-blind players; the
# mark of each colour tells them apart where colour alone does not.
#      code base     light    dark     mark     lip
pebble 1    '#e2502a' '#ffb49a' '#7a1a08' '#fff1e8' '#7a1a08'
pebble 2    '#f3d23a' '#fffbd0' '#8a6a00' '#5a4300' '#fff6b0'
pebble 3    '#3fa6ea' '#c8ecff' '#0b4d86' '#08365f' '#b8e4ff'
pebble 4    '#148058' '#8ae6bc' '#053a26' '#eafff5' '#03301f'
pebble 5    '#c064c8' '#f6d4ff' '#5e1a6a' '#fff6ff' '#4e1058'

# Checks of what the program relies on.
fail() { echo "render.sh: $*" >&2; exit 1; }
# The result window keys out pure grey; its picture must not contain that colour.
grey=$(convert "$here/result_panel.png" -alpha off -fill black +opaque 'rgb(128,128,128)' \
  -fill white -opaque 'rgb(128,128,128)' -format '%[fx:mean*w*h]' info:)
[ "$grey" = 0 ] || fail "result_panel.png has $grey pixels of the key colour"
# Window artwork covers its window.
for f in main_background result_panel about_panel stats_panel; do
  [ "$(convert "$here/$f.png" -format '%[fx:minima.a]' info:)" = 1 ] || fail "$f.png is not opaque"
done
# An empty cell shows the tray; it must be the colour the pebbles are painted on.
for xy in 20,63 649,63 20,449 649,449 335,256; do
  got=$(convert "$here/main_background.png" -format "%[hex:p{$xy}]" info:)
  want=$(convert "$here/Ico/1.bmp" -format '%[hex:p{0,0}]' info:)
  case "$got" in "$want"*) ;; *) fail "tray at $xy is #$got, pebble ground is #$want" ;; esac
done
echo "render.sh: artwork rendered and checked"
