#!/usr/bin/env bash
# Undoes `make install`: removes every file that installing the build folder puts under its
# prefix (DESTDIR honoured, like the install), then the program's own folders once empty.
# The list comes from a fresh install into a scratch folder, so it holds whatever this build
# installs, whichever install ran last.
#
#   scripts/uninstall.sh BUILD_FOLDER
set -euo pipefail
build=$1
destdir=${DESTDIR:-}
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
[ -n "$prefix" ] || { echo "uninstall.sh: $build is not a configured build folder" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
DESTDIR=$scratch cmake --install "$build" >/dev/null

removed=0
while IFS= read -r -d '' path; do
  installed=$destdir${path#"$scratch"}
  if [ -e "$installed" ] || [ -L "$installed" ]; then
    rm -f -- "$installed"
    removed=$((removed + 1))
  fi
done < <(find "$scratch" ! -type d -print0)

# Folders of the program's own name (lib/zorbalin, its Ico/, share/doc/zorbalin), deepest
# first; shared folders such as bin/ or the icon theme stay.
while IFS= read -r -d '' folder; do
  rmdir -- "$destdir${folder#"$scratch"}" 2>/dev/null || true
done < <(find "$scratch" -depth -type d -path '*/zorbalin*' -print0)
echo "uninstall.sh: removed $removed files from $destdir$prefix"
