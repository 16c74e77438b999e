#!/usr/bin/env bash
# The history server under load: starts a PostgreSQL server of its own (initdb into a temporary
# folder, reached through a Unix socket there only; as the user nobody when run as root), runs
# bench_history_server against it (10 benches x 100 events at once, then an outbox of 10 000 events)
# and stops and removes the server again. Needs Debian's postgresql package.
# Usage: bench/history-server.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build="${VORDAX4_BUILD_DIR:-build}"
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_history_server -j2 >/dev/null

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -x "$bin/initdb" ] || { echo "error: the postgresql package is not installed" >&2; exit 1; }
folder=$(mktemp -d /tmp/vdx4bench-XXXXXX)
as=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$folder"
  as=(runuser -u nobody --)
fi
stop() {
  "${as[@]}" "$bin/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap stop EXIT
"${as[@]}" "$bin/initdb" -D "$folder/data" -U vordax4 --auth=trust -E UTF8 --no-sync >/dev/null
"${as[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
  -o "-c listen_addresses= -k $folder -c max_connections=60" start >/dev/null
"$build/bench/history/bench_history_server" "postgresql://vordax4@/postgres?host=$folder"
