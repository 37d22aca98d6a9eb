#!/bin/sh
# Installs into a temporary DESTDIR with the prefix /usr and checks what lands
# where. Arguments: build folder, application id, bin, data and program folders
# (relative to the prefix), and 1 when the game's executable is part of the build.
set -eu
build=$1 id=$2 bindir=$3 datadir=$4 progdir=$5 has_program=$6
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr --component desktop >/dev/null
root=$stage/usr

entry=$root/$datadir/applications/$id.desktop
metainfo=$root/$datadir/metainfo/$id.metainfo.xml
[ -f "$entry" ] || fail "no desktop entry at $entry"
[ -f "$metainfo" ] || fail "no metainfo at $metainfo"
desktop-file-validate "$entry" || fail "installed desktop entry is not valid"
appstreamcli validate --no-net "$metainfo" >/dev/null || fail "installed metainfo is not valid"

key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Exec)" = "/usr/$bindir/zorbalin" ] || fail "Exec is '$(key Exec)'"
[ "$(key Icon)" = "$id" ] || fail "Icon is '$(key Icon)'"
[ "$(key StartupWMClass)" = "$id" ] || fail "StartupWMClass is '$(key StartupWMClass)'"
[ "$(key Categories)" = "Game;LogicGame;" ] || fail "Categories is '$(key Categories)'"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo does not launch $id.desktop"

# Each icon sits in the folder of its own size: the width and height of the
# PNG header (bytes 16..23, big-endian) must match.
for size in 16 32 48 128 256; do
  icon=$root/$datadir/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] || fail "no icon $icon"
  dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "icon for ${size}x${size} is $dims"
done

if [ "$has_program" = 1 ]; then
  DESTDIR=$stage cmake --install "$build" --prefix /usr --component program >/dev/null
  [ -x "$root/$progdir/zorbalin" ] || fail "no program in $progdir"
  [ -x "$root/$bindir/zorbalin" ] || fail "no launcher in $bindir"
  for colour in 1 2 3 4 5; do
    [ -f "$root/$progdir/Ico/$colour.bmp" ] || fail "no pebble picture $colour.bmp"
  done
fi
echo "install layout ok"
