#!/usr/bin/env bash
# Configures and builds one build folder. Usage: scripts/build.sh <folder> [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$1"; shift
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja "$@"
else
  cmake -S . -B "$build" "$@" >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
