#!/usr/bin/env bash
# The test suite on a busy machine: CPU-bound processes at the suite's own priority run beside
# `ctest -j2` while the suite runs several times in a row, then the window's Program tests run
# once more beside them. Reports per run its time, the load and the tests that failed; exits
# non-zero when any run failed.
# Usage: scripts/load-test.sh [--runs N] [--burners N] [--build DIR] [-- ctest options...]
#   e.g. scripts/load-test.sh                            the whole suite three times beside two burners
#        scripts/load-test.sh -- -L 'link|integration|app|cli|faultmatrix'
set -euo pipefail
cd "$(dirname "$0")/.."

runs=3
burners=2
build="${VORDAX4_BUILD_DIR:-build}"
window_program='ConnectReadEditProgramVerifyAndUndo|AnIgn50UnitConnectsReadsProgramsAndVerifies|SignalDuringProgram'
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --burners) burners="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --) shift; break ;;
    *) echo "usage: $0 [--runs N] [--burners N] [--build DIR] [-- ctest options...]" >&2; exit 2 ;;
  esac
done
[ -f "$build/CTestTestfile.cmake" ] || { echo "load-test: no tests in $build; build first (scripts/build.sh $build)" >&2; exit 2; }

log_dir=$(mktemp -d "${TMPDIR:-/tmp}/vordax4-load.XXXXXX")
burner_pids=()
stop_burners() {
  for pid in "${burner_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${burner_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  burner_pids=()
}
trap stop_burners EXIT

for _ in $(seq "$burners"); do
  sh -c 'while :; do :; done' &
  burner_pids+=("$!")
done

load_now() { cut -d' ' -f1 /proc/loadavg; }

# Runs ctest with the given options beside the burners; prints one line of figures and the tests
# that failed. Returns ctest's status.
run_ctest() {
  local name="$1"; shift
  local log="$log_dir/$name.log" load_file="$log_dir/$name.load" start end status=0
  # The load is sampled every 5 seconds while the run lasts.
  ( while :; do load_now >> "$load_file"; sleep 5; done ) &
  local sampler=$!
  start=$(date +%s)
  QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 "$@" > "$log" 2>&1 || status=$?
  end=$(date +%s)
  kill "$sampler" 2>/dev/null || true
  wait "$sampler" 2>/dev/null || true
  local summary load_range
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -1)
  load_range=$(sort -n "$load_file" | sed -n '1p;$p' | paste -sd- -)
  printf '%-8s %4ss  load %-11s  %s\n' "$name" "$((end - start))" "$load_range" "${summary:-ctest status $status}"
  grep -E '^[[:space:]]+[0-9]+ - .* \((Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)' "$log" | sed 's/^/         /' || true
  return "$status"
}

echo "load-test: $burners CPU-bound processes beside ctest -j2 on $(nproc) processors; logs in $log_dir"
failed=0
for run in $(seq "$runs"); do
  run_ctest "run$run" "$@" || failed=1
done
run_ctest window -R "$window_program" || failed=1
stop_burners
if [ "$failed" -ne 0 ]; then
  echo "load-test: FAILED (see $log_dir)"
  exit 1
fi
echo "load-test: all runs passed"
