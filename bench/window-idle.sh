#!/usr/bin/env bash
# CPU of the whole window while connected and idle, with the advance map shown: the program
# connects to a simulated unit running as its own process, the monitor polls, nothing else happens.
# It runs once on a real X server (Xvfb with openbox, where every question to the X server is a
# round trip) and once on Qt's offscreen platform. After the connection settles, the window's process
# CPU (all threads) is sampled over SECONDS (default 60) and printed as a share of one core, with the
# resident memory at the end. The floor, a minimal Qt window with a 55 ms timer
# (bench/window/IdleFloorWindow.cpp), is measured on the same X server in the same run.
# Usage: bench/window-idle.sh [SECONDS] [PROTOCOL] [PLATFORMS]   (PLATFORMS: "xcb offscreen" by default)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
protocol="${2:-IGN100}"
platforms="${3:-xcb offscreen}"
build="${VORDAX4_BUILD_DIR:-build}"
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vordax4 vordax4-unitsim bench_idle_floor_window -j2 >/dev/null

scratch="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# The share of one core the process used over the sampling time, and its resident memory.
sample() {
  local pid=$1 label=$2 hz start_ticks start_ns end_ticks end_ns rss
  hz="$(getconf CLK_TCK)"
  start_ticks="$(awk '{ print $14 + $15 }' "/proc/$pid/stat")"; start_ns="$(date +%s%N)"
  sleep "$seconds"
  end_ticks="$(awk '{ print $14 + $15 }' "/proc/$pid/stat")"; end_ns="$(date +%s%N)"
  rss="$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")"
  awk -v t="$((end_ticks - start_ticks))" -v hz="$hz" -v ns="$((end_ns - start_ns))" -v rss="$rss" -v l="$label" \
    'BEGIN { printf "%s: %.2f %% of one core over %.1f s, resident %.1f MB\n", l, 100 * t / hz / (ns / 1e9), ns / 1e9, rss / 1024 }'
}

# Starts Xvfb (and openbox) on a free display and names it in $display.
start_x() {
  display=""
  for n in $(seq 70 89); do
    [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
  done
  command -v Xvfb >/dev/null || { echo "window-idle: Xvfb is not installed (apt-get install xvfb openbox)" >&2; return 1; }
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
  if command -v openbox >/dev/null; then DISPLAY="$display" openbox >/dev/null 2>&1 & pids+=($!); fi
}

"$build/tools/unitsim/vordax4-unitsim" --protocol "$protocol" --storing-ms 300 >"$scratch/unit.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  device="$(sed -n '2p' "$scratch/unit.out")"
  [ -n "$device" ] && break
  sleep 0.1
done
[ -n "$device" ] || { echo "window-idle: the simulated unit did not start" >&2; exit 1; }

for platform in $platforms; do
  env=(QT_QPA_PLATFORM="$platform")
  if [ "$platform" = xcb ]; then
    start_x || continue
    env=(QT_QPA_PLATFORM=xcb DISPLAY="$display")
  fi
  env "${env[@]}" "$build/bench/window/bench_idle_floor_window" >/dev/null 2>&1 &
  minimal=$!
  pids+=($minimal)
  sleep 3
  sample "$minimal" "floor, a minimal Qt window with a 55 ms timer on $platform"
  kill "$minimal" 2>/dev/null || true
  settings="$scratch/settings-$platform"
  # The advance page (index 3) with its map editor is the page shown.
  mkdir -p "$settings/Motravex/VORDAX4/93"
  printf '[FORM_HLAV]\nPageControl1->ActivePageIndex=3\nNEWINSTAL=0\n' >"$settings/Motravex/VORDAX4/93/application.ini"
  trace="$scratch/trace-$platform.txt"
  env "${env[@]}" VORDAX4_SETTINGS_DIR="$settings" VORDAX4_PORTS="3=$device" VORDAX4_ONLY_MAPPED_PORTS=1 \
    VORDAX4_TRACE="$trace" "$build/vordax4" nopatchcheck >"$scratch/window-$platform.out" 2>&1 &
  window=$!
  pids+=($window)
  for _ in $(seq 200); do
    grep -q " connected" "$trace" 2>/dev/null && break
    sleep 0.1
  done
  grep -q " connected" "$trace" 2>/dev/null || { echo "window-idle: no connection within 20 s on $platform" >&2; exit 1; }
  sleep 5 # the reference read, the configuration reads and the first monitor answers
  sample "$window" "window idle with the advance map, connected to $protocol, on $platform (goal <= 0.3 %)"
  kill "$window" 2>/dev/null || true
  wait "$window" 2>/dev/null || true
done
