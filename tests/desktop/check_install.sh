#!/bin/sh
# Installs into a temporary DESTDIR as `make install` does, checks what lands
# where and, when the game's executable is part of the build, starts the
# installed game; then `make uninstall`'s script must leave no file behind.
# Arguments: build folder, application id, install prefix, bin, data, man and
# program folders (relative to the prefix), 1 when the executable is built, and
# the uninstall script.
set -eu
build=$1 id=$2 prefix=$3 bindir=$4 datadir=$5 mandir=$6 progdir=$7 has_program=$8 uninstall=$9
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" >/dev/null
root=$stage$prefix

entry=$root/$datadir/applications/$id.desktop
metainfo=$root/$datadir/metainfo/$id.metainfo.xml
[ -f "$entry" ] || fail "no desktop entry at $entry"
[ -f "$metainfo" ] || fail "no metainfo at $metainfo"
desktop-file-validate "$entry" || fail "installed desktop entry is not valid"
appstreamcli validate --no-net "$metainfo" >/dev/null || fail "installed metainfo is not valid"

# Starts the installed game through its launcher on SDL's display-less video
# driver, from another folder, with a scratch settings folder: it must come up
# (it creates its settings folder at start), keep running, and on a polite
# termination close normally and write its settings.
start_installed_program() {
  config=$stage/config
  mkdir -p "$config"
  (cd / && XDG_CONFIG_HOME=$config SDL_VIDEODRIVER=dummy exec "$root/$bindir/zorbalin") &
  game=$!
  tries=0
  until [ -d "$config/ZorbaLin" ]; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || { kill -KILL $game; fail "the installed game did not start"; }
    kill -0 $game 2>/dev/null || fail "the installed game ended at start"
    sleep 0.1
  done
  sleep 0.5
  kill -0 $game 2>/dev/null || fail "the installed game ended by itself"
  kill -TERM $game
  status=0
  wait $game || status=$?
  [ "$status" = 0 ] || fail "the installed game ended with status $status"
  grep -q '^\[Game\]' "$config/ZorbaLin/ZorbaLin.ini" || fail "no settings written on close"
}

key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Exec)" = "$prefix/$bindir/zorbalin" ] || fail "Exec is '$(key Exec)'"
[ "$(key Icon)" = "$id" ] || fail "Icon is '$(key Icon)'"
[ "$(key StartupWMClass)" = "$id" ] || fail "StartupWMClass is '$(key StartupWMClass)'"
[ "$(key Categories)" = "Game;LogicGame;" ] || fail "Categories is '$(key Categories)'"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo does not launch $id.desktop"

# Each icon sits in the folder of its own size: the width and height of the
# PNG header (bytes 16..23, big-endian) must match.
for size in 16 24 32 48 64 128 256; do
  icon=$root/$datadir/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] || fail "no icon $icon"
  dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "icon for ${size}x${size} is $dims"
done

grep -q '<svg' "$root/$datadir/icons/hicolor/scalable/apps/$id.svg" || fail "no scalable icon"
gzip -dc "$root/$mandir/man6/zorbalin.6.gz" | grep -q '^\.TH ZORBALIN 6' || fail "no man page"
cmp -s "$root/$datadir/doc/zorbalin/LICENSE" "$(dirname "$0")/../../LICENSE" || fail "no LICENSE"

if [ "$has_program" = 1 ]; then
  [ -x "$root/$progdir/zorbalin" ] || fail "no program in $progdir"
  [ -x "$root/$bindir/zorbalin" ] || fail "no launcher in $bindir"
  for colour in 1 2 3 4 5; do
    [ -f "$root/$progdir/Ico/$colour.bmp" ] || fail "no pebble picture $colour.bmp"
  done
  start_installed_program
fi

DESTDIR=$stage "$uninstall" "$build" >/dev/null
left=$(find "$stage" ! -type d ! -path "$stage/config*")
[ -z "$left" ] || fail "uninstall left: $left"
[ ! -d "$root/$progdir" ] || fail "uninstall left the folder $progdir"
echo "install layout ok"
