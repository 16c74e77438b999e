#!/usr/bin/env bash
# CPU of the whole window while connected and idle: the program (offscreen platform) connects to a
# simulated unit running as its own process, the monitor polls, nothing else happens. After the
# connection settles, the window's process CPU (all threads) is sampled over SECONDS (default 60)
# and printed as a share of one core, with the resident memory at the end.
# Usage: bench/window-idle.sh [SECONDS] [PROTOCOL]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
protocol="${2:-IGN100}"
build="${VORDAX4_BUILD_DIR:-build}"
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vordax4 vordax4-unitsim -j2 >/dev/null

scratch="$(mktemp -d)"
unit_pid=""; window_pid=""
cleanup() {
  [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null || true
  [ -n "$unit_pid" ] && kill "$unit_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

"$build/tools/unitsim/vordax4-unitsim" --protocol "$protocol" --storing-ms 300 >"$scratch/unit.out" 2>&1 &
unit_pid=$!
for _ in $(seq 50); do
  device="$(sed -n '2p' "$scratch/unit.out")"
  [ -n "$device" ] && break
  sleep 0.1
done
[ -n "$device" ] || { echo "window-idle: the simulated unit did not start" >&2; exit 1; }

VORDAX4_SETTINGS_DIR="$scratch/settings" VORDAX4_PORTS="3=$device" VORDAX4_ONLY_MAPPED_PORTS=1 \
  VORDAX4_TRACE="$scratch/trace.txt" QT_QPA_PLATFORM=offscreen \
  "$build/vordax4" nopatchcheck >"$scratch/window.out" 2>&1 &
window_pid=$!

for _ in $(seq 200); do
  grep -q " connected" "$scratch/trace.txt" 2>/dev/null && break
  sleep 0.1
done
grep -q " connected" "$scratch/trace.txt" 2>/dev/null || { echo "window-idle: no connection within 20 s" >&2; exit 1; }
sleep 5 # the reference read and the first monitor answers

ticks_per_second="$(getconf CLK_TCK)"
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$window_pid/stat"; }
start_ticks="$(cpu_ticks)"; start_ns="$(date +%s%N)"
sleep "$seconds"
end_ticks="$(cpu_ticks)"; end_ns="$(date +%s%N)"
rss_kib="$(awk '/^VmRSS:/ { print $2 }' "/proc/$window_pid/status")"
awk -v t="$((end_ticks - start_ticks))" -v hz="$ticks_per_second" -v ns="$((end_ns - start_ns))" -v rss="$rss_kib" -v p="$protocol" \
  'BEGIN { printf "window idle, connected to %s: %.2f %% of one core over %.1f s (goal <= 0.3 %%), resident %.1f MB\n", p, 100 * t / hz / (ns / 1e9), ns / 1e9, rss / 1024 }'
