#!/bin/sh
# Puts the configured launcher into a scratch prefix beside a stand-in program
# and checks that it replaces itself with the program, arguments intact, also
# when started through a symbolic link from elsewhere.
# Arguments: the launcher, the bin and program folders relative to the prefix.
set -eu
launcher=$1 bindir=$2 progdir=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$prefix/$bindir" "$prefix/$progdir" "$prefix/elsewhere"
cp "$launcher" "$prefix/$bindir/zorbalin"
cat > "$prefix/$progdir/zorbalin" <<'PROGRAM'
#!/bin/sh
echo "program=$0"
echo "parent=$PPID"
for a in "$@"; do echo "arg=$a"; done
exit 7
PROGRAM
chmod +x "$prefix/$progdir/zorbalin"
ln -s "$prefix/$bindir/zorbalin" "$prefix/elsewhere/zorbalin"

expected_program=$(cd "$prefix/$progdir" && pwd -P)/zorbalin
for start in "$prefix/$bindir/zorbalin" "$prefix/elsewhere/zorbalin"; do
  status=0
  output=$("$start" "two words" "" "-x") || status=$?
  [ "$status" = 7 ] || fail "$start: exit status $status, not the program's"
  program=$(echo "$output" | sed -n 's/^program=//p')
  [ "$(cd "$(dirname "$program")" && pwd -P)/zorbalin" = "$expected_program" ] ||
    fail "$start ran '$program'"
  [ "$(echo "$output" | grep '^arg=')" = "$(printf 'arg=two words\narg=\narg=-x')" ] ||
    fail "$start passed: $output"
  # exec: the program's parent is the shell that ran the launcher, not the launcher
  [ "$(echo "$output" | sed -n 's/^parent=//p')" = "$$" ] || fail "$start did not exec the program"
done
echo "launcher ok"
