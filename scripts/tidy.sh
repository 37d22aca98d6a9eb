#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over every C++ file of the tree and fails on
# any warning. It needs only a compilation database: the build folder given (default
# build-tidy) is configured with clang and the fuzz targets on, so that every file, the fuzz
# harnesses too, is read with the flags it is built with; nothing is compiled.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-tidy}
jobs=${2:-$(nproc)}
root=$(pwd)
if [[ ! -f $build/compile_commands.json ]]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZORBALIN_FUZZ=ON \
    -DZORBALIN_BENCH=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
fi
# Only the tree's own sources: the generated artwork table in the build folder is left out.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! run-clang-tidy -quiet -p "$build" -j "$jobs" \
     "^$root/(app|bench|fuzz|game|imaging|platform|strings|tests|tools)/" > "$log" 2>&1; then
  sed -E 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '(warning|error):' | sort -u
  echo "clang-tidy: the tree does not keep to docs/conventions.md (see above)" >&2
  exit 1
fi
files=$(grep -cE "\"file\": \"$root/(app|bench|fuzz|game|imaging|platform|strings|tests|tools)/" \
  "$build/compile_commands.json" || true)
echo "clang-tidy: $files files checked, no warning."
