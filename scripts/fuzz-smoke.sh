#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a few seconds on its seed corpus
# (fuzz/<area>/corpus; PngSuite for the PNG reader) and fails on the first crash, leak or
# time-out.
set -euo pipefail
build=$1 seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
targets=("$build"/fuzz_*)
[[ ${#targets[@]} -gt 0 ]] || { echo "no fuzz targets in $build" >&2; exit 1; }
for target in "${targets[@]}"; do
  name=$(basename "$target")
  area=${name#fuzz_}
  work=$(mktemp -d)
  seeds=()
  [[ -d "$root/fuzz/$area/corpus" ]] && seeds+=("$root/fuzz/$area/corpus")
  [[ $area == png ]] && seeds+=("$root/tests/data/pngsuite")
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
            -artifact_prefix="$work/" "$work" "${seeds[@]}" 2>&1 | tail -n 3
  rm -rf "$work"
done
