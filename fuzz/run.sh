#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs one of them.
# Usage: fuzz/run.sh TARGET SECONDS      (fuzz/run.sh --list shows the targets)
# The corpus lives in fuzz/corpus/TARGET; crash inputs are written to fuzz/crashes/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--list" ]; then
  # The targets as the fuzz folders declare them; the build's own target list also holds CMake's
  # generated helpers, and listing needs no compiler.
  sed -n 's/^[[:space:]]*vordax4_add_fuzzer([[:space:]]*\(fuzz_[A-Za-z0-9_]*\).*/\1/p' fuzz/*/CMakeLists.txt | sort
  exit 0
fi
./scripts/install-deps.sh clang libclang-rt-14-dev
build=build-fuzz
if [ ! -f "$build/build.ninja" ]; then
  CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORDAX4_FUZZ=ON -DVORDAX4_BENCH=OFF
fi
target="${1:?usage: fuzz/run.sh TARGET SECONDS}"
seconds="${2:-60}"
cmake --build "$build" --target "$target" -j"$(nproc)"
mkdir -p "fuzz/corpus/$target" "fuzz/crashes/$target"
seeds=()
[ -d "fuzz/seeds/$target" ] && seeds+=("fuzz/seeds/$target")
"$build/$target" -max_total_time="$seconds" -artifact_prefix="fuzz/crashes/$target/" "fuzz/corpus/$target" "${seeds[@]}"
