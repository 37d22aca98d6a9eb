#!/bin/bash
# Packs this build folder with CPack into a .deb (the same package `make package` makes, from this
# build's program instead of a Release build of its own), then checks it as a user's machine
# would see it: its control fields, its exact contents (owned by root, the program stripped), the
# Debian copyright file against LICENSE, lintian; and, unpacked with dpkg-deb -x into a scratch
# root, the game started from there in Xvfb shows its board with the package's pebble pictures
# and ends normally by its close button.
#
#   check_package.sh BUILD_FOLDER SOURCE_FOLDER VERSION
set -u
build=$1 source=$2 version=$3
source "$source/scripts/x_server.sh"
for tool in cpack dpkg-deb dpkg-shlibdeps lintian readelf Xvfb xdotool convert import; do
  command -v $tool >/dev/null 2>&1 || { echo "FAIL: $tool is missing (make deps)"; exit 1; }
done
work=$(mktemp -d /tmp/zorbalin-package-XXXXXX)
XVFB_PID="" GAME_PID=""
cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
stop() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -B "$work/out") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; stop "cpack failed"; }
deb=$work/out/zorbalin_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || stop "no package $deb: $(ls "$work/out")"

# ---- Control fields --------------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Version) $(field Section)" = "zorbalin $version games" ] ||
  fail "package, version, section: $(field Package) $(field Version) $(field Section)"
depends=$(field Depends)
for needed in fonts-dejavu-core fonts-liberation fonts-comic-neue libc6 libsdl2-2.0-0 zlib1g; do
  grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(field Recommends)" = xdg-utils ] || fail "Recommends: $(field Recommends)"

# ---- Contents --------------------------------------------------------------------------------
id=hu.zorbalin.ZorbaLin
expected=$(
  echo ./usr/games/zorbalin ./usr/lib/zorbalin/zorbalin
  for c in 1 2 3 4 5; do echo ./usr/lib/zorbalin/Ico/$c.bmp; done
  echo ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml
  for s in 16 24 32 48 64 128 256; do echo ./usr/share/icons/hicolor/${s}x$s/apps/$id.png; done
  echo ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/man/man6/zorbalin.6.gz
  echo ./usr/share/doc/zorbalin/copyright ./usr/share/doc/zorbalin/changelog.gz
  echo ./usr/share/locale/en/LC_MESSAGES/zorbalin.mo
)
listing=$(dpkg-deb -c "$deb")
[ "$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sort)" = "$(tr ' ' '\n' <<<"$expected" | sort)" ] ||
  fail "contents differ: $(diff <(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sort) <(tr ' ' '\n' <<<"$expected" | sort))"
[ -z "$(awk '$2 != "root/root"' <<<"$listing")" ] || fail "files not owned by root"

root=$work/root
dpkg-deb -x "$deb" "$root" || stop "dpkg-deb -x failed"
readelf -S "$root/usr/lib/zorbalin/zorbalin" | grep -qE '\.symtab|\.debug_' && fail "program not stripped"
grep -qx "Exec=/usr/games/zorbalin" "$root/usr/share/applications/$id.desktop" ||
  fail "the desktop entry does not start /usr/games/zorbalin"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "invalid desktop entry"

# The copyright file in Debian's format carries LICENSE's permission text, line for line.
copyright=$root/usr/share/doc/zorbalin/copyright
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not in Debian's format"
[ "$(tac "$copyright" | sed '/^License: Expat$/q' | tac | tail -n +2 | sed -e 's/^ //' -e 's/^\.$//')" = \
  "$(sed -n '/^Permission is hereby granted/,/^SOFTWARE\.$/p' "$source/LICENSE")" ] ||
  fail "copyright does not carry the MIT text of LICENSE"

lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
  fail "lintian: $(grep -v 'root privileges' "$work/lintian.log")"

# ---- The unpacked game -----------------------------------------------------------------------
[ "$("$root/usr/games/zorbalin" --version)" = "ZorbaLin $version" ] || fail "--version from the package"

start_xvfb "$work" 1024x768x24 || stop "the X server"

config=$work/config
mkdir -p "$config/ZorbaLin"
printf '[Screen]\r\nLeft=0\r\nTop=0\r\n[Game]\r\nHard=4\r\n' >"$config/ZorbaLin/ZorbaLin.ini"
start_unpacked_game() {
  (cd / && exec env -u GDK_SCALE XDG_CONFIG_HOME="$config" ZORBALIN_SCALE=1 \
    "$root/usr/games/zorbalin" >>"$work/game.log" 2>&1) &
  GAME_PID=$!
}
start_with_window start_unpacked_game "$work/game.log" ||
  stop "the unpacked game showed no window: $(cat "$work/game.log")"
# The waits below poll for up to 30 seconds, so that a busy machine only makes them slower.

# The lower-left pebble (column 1, row 9) at (8, 21) of its picture shows the body colour of one
# of the package's pebble bitmaps.
rgb() { convert "$1" -format "%[fx:int(255*p{$2}.r+0.5)],%[fx:int(255*p{$2}.g+0.5)],%[fx:int(255*p{$2}.b+0.5)]" info:; }
pebbles=" "
for c in 1 2 3 4 5; do pebbles="$pebbles$(rgb "$root/usr/lib/zorbalin/Ico/$c.bmp" 8,21) "; done
shown=""
for _ in $(seq 60); do
  import -window root "$work/shot.png"
  shown=$(rgb "$work/shot.png" 28,428)
  [[ "$pebbles" == *" $shown "* ]] && break
  sleep 0.5
done
[[ "$pebbles" == *" $shown "* ]] || fail "the board shows no pebble of the package at (28, 428): $shown"

xdotool mousemove --window "$MAIN" 644 24 click 1
for _ in $(seq 300); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$GAME_PID" || status=$?
GAME_PID=""
[ "$status" = 0 ] || fail "the game ended with status $status by its close button"

[ "$failures" = 0 ] || exit 1
echo "package ok: $(basename "$deb"), Depends: $depends"
