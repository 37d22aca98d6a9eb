#!/bin/bash
# Runs a test program as the unprivileged user "nobody" when the tests run as
# root (as in CI), so that the cases that only an ordinary user can check
# (read-only folders and files) are checked there too. As any other user the
# program's own test run already covers them: exits 77 (skipped).
#
#   run_unprivileged.sh <test program> [arguments...]
#
# The program is copied into a private temporary folder that nobody may read,
# which is also its HOME and TMPDIR, and which is removed afterwards.
set -u
PROGRAM=$1
shift

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: not root; the test program's own run covers these cases"
  exit 77
fi
if ! command -v setpriv >/dev/null 2>&1 || ! id nobody >/dev/null 2>&1; then
  echo "FAIL: setpriv or the user nobody is missing"
  exit 1
fi

WORK=$(mktemp -d /tmp/zorbalin-nobody-XXXXXX) # a folder nobody can reach
trap 'rm -rf "$WORK"' EXIT
chmod 0755 "$WORK"
cp "$PROGRAM" "$WORK/tests"
mkdir "$WORK/home" "$WORK/tmp"
chown nobody "$WORK/home" "$WORK/tmp"

cd "$WORK/tmp" &&
  setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups --inh-caps=-all \
    env HOME="$WORK/home" TMPDIR="$WORK/tmp" "$WORK/tests" "$@"
