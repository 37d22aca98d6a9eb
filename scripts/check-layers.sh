#!/usr/bin/env bash
# The layers, checked from the sources: every folder's includes against the folders it may use,
# so that an include upwards (a game file naming an app header, say) is caught even where the
# build's include folders would let it through. Prints each folder's includes; exits 1 when a
# folder has no row below or includes what its row does not allow.
#
#   scripts/check-layers.sh [source folder]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

program="strings game gdi toolkit backend/headless backend/sdl shell imaging assets app/settings app/shell_starter app/windows app/program"

# The include folders ("game" for "game/board.h") that a folder's files may name; a file's own
# folder is always allowed through a plain "header.h".
allowed_for() {
  case $1 in
    strings) echo "strings" ;;
    game) echo "game strings" ;;
    platform/gdi) echo "gdi" ;;
    platform/toolkit) echo "toolkit gdi shell" ;;
    platform/backend/*) echo "${1#platform/} toolkit gdi" ;;
    platform/shell) echo "shell" ;;
    imaging) echo "imaging toolkit gdi" ;;
    assets) echo "assets" ;;
    app/settings) echo "app/settings game strings shell" ;;
    app/shell_starter) echo "app/shell_starter shell toolkit gdi" ;;
    app/windows) echo "app/windows app/settings app/shell_starter game strings imaging toolkit gdi shell assets" ;;
    app/program) echo "app/program app/windows app/settings app/shell_starter game strings imaging toolkit gdi shell assets backend/sdl" ;;
    tools/pngtool) echo "imaging toolkit gdi" ;;
    tools/zorbalin-sim) echo "game strings" ;;
    tests/support) echo "$program" ;;
    tests/* | bench/* | fuzz/*) echo "$program tests/support" ;;
    *) return 1 ;;
  esac
}

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . \( -name 'build*' -o -name '.*' \) -prune -o \
                            \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||')
fi

declare -A uses=()
problems=()
while IFS= read -r match; do
  file=${match%%:*}
  rest=${match#*:}
  line=${rest%%:*}
  [[ ${rest#*:} =~ ([\"<])([^\">]*) ]] || continue
  header=${BASH_REMATCH[2]}
  folder=${file%/*}
  [[ $header == */* ]] || continue # a header of the file's own folder
  used=${header%/*}
  # Angle brackets are for system headers; only the program's own folders count there.
  if [[ ${BASH_REMATCH[1]} == "<" ]] && ! [[ " $program " == *" $used "* || $used == tests/* ]]; then
    continue
  fi
  uses[$folder]+=" $used"
  if ! allowed=$(allowed_for "$folder"); then
    problems+=("$file: the folder $folder has no row in scripts/check-layers.sh")
  elif [[ $header == *..* || " $allowed " != *" $used "* ]]; then
    problems+=("$file:$line: includes \"$header\"; $folder may include only: $allowed")
  fi
done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "${files[@]}" /dev/null)

for folder in $(printf '%s\n' "${!uses[@]}" | sort); do
  printf '%-26s %s\n' "$folder" "$(tr ' ' '\n' <<<"${uses[$folder]}" | sort -u | xargs)"
done
if ((${#problems[@]})); then
  printf '%s\n' "${problems[@]}" | sort -u >&2
  echo "layers: includes across the layers above (see the table in scripts/check-layers.sh)" >&2
  exit 1
fi
echo "layers: ${#uses[@]} folders, every include within its layers"
