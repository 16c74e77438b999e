#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through CTest (GUI tests on Qt's offscreen
# platform). ./test.sh --sanitize does the same with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/; ./test.sh --tsan builds the link and integration tests with ThreadSanitizer in
# build-tsan/ and runs only those. VORDAX4_BUILD_DIR chooses another build folder. The fault table
# of the integration tests (label faultmatrix) runs whole in the plain build; the AddressSanitizer
# build runs its core slice, which meets every protocol and every fault once.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/check-layers.sh

if [ "${1:-}" = "--sanitize" ]; then
  build="${VORDAX4_BUILD_DIR:-build-sanitize}"
  ./scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORDAX4_SANITIZE=ON
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
elif [ "${1:-}" = "--tsan" ]; then
  build="${VORDAX4_BUILD_DIR:-build-tsan}"
  # The tests of the threaded subsystems, chosen by their CTest labels.
  tsan_labels=(link integration)
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORDAX4_TSAN=ON -DVORDAX4_BENCH=OFF
  fi
  cmake --build "$build" -j"$(nproc)" --target "${tsan_labels[@]/#/tests_}"
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/link/tsan.supp"
  export QT_QPA_PLATFORM=offscreen
  label_pattern="^($(IFS='|'; echo "${tsan_labels[*]}"))\$"
  # The fault table is left out here: it starts the command-line tool as child processes of a
  # threaded test through futures, which ThreadSanitizer cannot follow (fork with threads, and
  # libstdc++'s uninstrumented future state); the sanitizer run covers its slice.
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300 --no-tests=error -L "$label_pattern"
  exit 0
else
  build="${VORDAX4_BUILD_DIR:-build}"
  ./scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release
fi

export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = "--sanitize" ]; then
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300 --no-tests=error -LE '^faultmatrix$'
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300 --no-tests=error -L '^faultmatrix$' -R '_core'
else
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300 --no-tests=error
fi
