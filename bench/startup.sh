#!/usr/bin/env bash
# Start-up to the viewable window: the program against a minimal Qt main window with a menu, both
# started in turn on the same X server (Xvfb, no window manager) and timed until the server maps
# their window. Prints the median of RUNS starts of each, their ratio, and the shared libraries each
# loads. Every start of the program gets a settings folder of its own.
# Usage: bench/startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-7}"
build="${VORDAX4_BUILD_DIR:-build}"
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vordax4 bench_minimal_window bench_viewable_timer -j2 >/dev/null
command -v Xvfb >/dev/null || { echo "startup: Xvfb is needed (apt-get install xvfb)" >&2; exit 1; }

scratch="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.05
done
export DISPLAY=":$(head -n1 "$scratch/display")"
export QT_QPA_PLATFORM=xcb
# Qt wants a private runtime folder; without one it warns on every start.
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

timer="$build/bench/app/bench_viewable_timer"
minimal="$build/bench/app/bench_minimal_window"
time_program() {
  local settings
  settings="$(mktemp -d -p "$scratch")"
  VORDAX4_SETTINGS_DIR="$settings" VORDAX4_ONLY_MAPPED_PORTS=1 VORDAX4_BOOTLOADER_SOCKET="startup$RANDOM$RANDOM" \
    "$timer" "$build/vordax4" nopatchcheck
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# One start of each first, unmeasured, so that both meet the same warm file cache.
"$timer" "$minimal" >/dev/null
time_program >/dev/null
for _ in $(seq "$runs"); do
  "$timer" "$minimal" >>"$scratch/minimal.txt"
  time_program >>"$scratch/program.txt"
done

floor="$(median <"$scratch/minimal.txt")"
program="$(median <"$scratch/program.txt")"
libraries() { ldd "$1" | grep -c '=>'; }
printf 'minimal Qt window: %.3f s (%d libraries)\n' "$floor" "$(libraries "$minimal")"
printf 'vordax4:           %.3f s (%d libraries)\n' "$program" "$(libraries "$build/vordax4")"
awk -v p="$program" -v f="$floor" 'BEGIN { printf "ratio: %.2f x the minimal window (goal 1.5)\n", p / f }'
