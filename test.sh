#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through CTest (GUI tests on Qt's offscreen
# platform). ./test.sh --sanitize does the same with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/. VORDAX4_BUILD_DIR chooses another build folder.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

if [ "${1:-}" = "--sanitize" ]; then
  build="${VORDAX4_BUILD_DIR:-build-sanitize}"
  ./scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORDAX4_SANITIZE=ON
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  build="${VORDAX4_BUILD_DIR:-build}"
  ./scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release
fi

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300
