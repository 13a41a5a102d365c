#!/usr/bin/env bash
# configure and build one build tree incrementally: build.sh DIR [cmake options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$top" -B "$dir" -G Ninja "$@"
fi
jobs=${PLACARIM_JOBS:-$(nproc)}
cmake --build "$dir" -j "$jobs"
