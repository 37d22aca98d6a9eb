#!/bin/bash
# zorbalin --help and --version answer on standard output with status 0; any other command line
# gets what was wrong and the usage line on standard error, and status 2. All of it happens before
# a display is opened: there is none here, so a run that tried to play would end with status 1
# instead.
# The man page lists every key the help lists.
#
#   check_command_line.sh PROGRAM MAN_PAGE VERSION
set -u
program=$1 man_page=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run ARGS...: sets status, out and err.
run() {
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 XDG_CONFIG_HOME="$work/config" \
    timeout 10 "$program" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?
  out=$(cat "$work/out") err=$(cat "$work/err")
}
usage="Usage: zorbalin [--help | --version | [--deal N] [--colours K]]"

run --version
[ "$status/$out/$err" = "0/ZorbaLin $version/" ] || fail "--version: status $status, '$out', '$err'"

run --help
[ "$status" = 0 ] && [ -z "$err" ] || fail "--help: status $status, stderr '$err'"
[ "$(head -1 <<<"$out")" = "$usage" ] || fail "--help does not start with the usage line"
grep -qxF "    $work/config/ZorbaLin/ZorbaLin.ini" <<<"$out" || fail "--help names no settings file"
keys=$(sed -n '/^Keys:$/,/^$/{/^  /p}' <<<"$out" | sed 's/^  \(.*[^ ]\)  .*/\1/')
[ -n "$keys" ] || fail "--help lists no keys"
while read -r key; do
  grep -qxF ".B $key" "$man_page" || fail "the man page does not list the key '$key'"
done <<<"$keys"
[ -d "$work/config" ] && fail "--help created the settings folder"

# Each refused command line names the word that was wrong, then gives the usage line.
while IFS='|' read -r args named; do
  read -ra words <<<"$args"
  [ -z "$args" ] && words=("")
  run "${words[@]}"
  [ "$status/$out/$err" = "2//zorbalin: $named"$'\n'"$usage" ] ||
    fail "'$args': status $status, stdout '$out', stderr '$err'"
done <<'EOF'
-h|unknown option '-h'
--bogus|unknown option '--bogus'
--help --version|unexpected argument '--version'
--version extra|unexpected argument 'extra'
|unexpected argument ''
help|unexpected argument 'help'
--help=x --help|unknown option '--help=x'
--deal|option '--deal' needs a value
--deal 0|bad deal number '0' (1 to 999999999)
--deal 1000000000|bad deal number '1000000000' (1 to 999999999)
--deal=12x|bad deal number '12x' (1 to 999999999)
--deal -5|bad deal number '-5' (1 to 999999999)
--deal +5|bad deal number '+5' (1 to 999999999)
--deal 5 --deal 6|option '--deal' given twice
--colours 2|bad number of colours '2' (3, 4 or 5)
--colours 6|bad number of colours '6' (3, 4 or 5)
--colours=|bad number of colours '' (3, 4 or 5)
--colours 4 --help|unexpected argument '--help'
--deal 7 extra|unexpected argument 'extra'
EOF

# Good values get past the command line: with no display the start then fails with status 1.
for args in "--deal 1" "--deal=999999999 --colours 5" "--colours=3"; do
  read -ra words <<<"$args"
  run "${words[@]}"
  [ "$status" = 1 ] && grep -q "display" <<<"$err" || fail "'$args': status $status, '$err'"
done

status=0
"$program" --help >/dev/full 2>"$work/err" || status=$?
[ "$status" = 1 ] && grep -q "cannot write" "$work/err" || fail "--help into a full disk: $status"

[ "$failures" = 0 ] || exit 1
echo "command line ok"
