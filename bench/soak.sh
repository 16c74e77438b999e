#!/usr/bin/env bash
# Soak: the window (offscreen) stays connected to a simulated unit with the monitor running and a
# recording on for MINUTES, and reports memory, exchanges, failed jobs and records at the given
# minutes. Usage: bench/soak.sh MINUTES [REPORT_MINUTE...]   e.g. bench/soak.sh 60 1 10 30 60
# Runs at the lowest priority, so it can run beside other work.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${VORDAX4_BUILD_DIR:-build}"
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_soak -j2 >/dev/null
QT_QPA_PLATFORM=offscreen exec nice -n 19 "$build/bench/app/bench_soak" "$@"
