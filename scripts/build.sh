#!/usr/bin/env bash
# Configures and builds one build folder. Usage: scripts/build.sh <folder> [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$1"; shift
# Paths relative to the checkout let ccache reuse objects between checkouts and build folders.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
# Debian's hardening flags on every build but the sanitizer and fuzzer ones, whose run-time checks
# they would get in the way of.
hardening=()
[[ " $* " == *SANITIZE=ON* || " $* " == *TSAN=ON* || " $* " == *FUZZ=ON* ]] || mapfile -t hardening < <(./scripts/hardening-flags.sh)
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja "${hardening[@]}" "$@"
else
  cmake -S . -B "$build" "${hardening[@]}" "$@" >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
