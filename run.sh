#!/usr/bin/env bash
# Installs what is missing, builds the program (Release, in build/) and starts it with the simulated
# unit of the demo, so that it works on any machine. Arguments are passed on to the program, for
# example ./run.sh DEUTSCH; ./run.sh --no-demo starts it without the simulated unit, for a real unit.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
args=()
demo=--demo
for a in "$@"; do
  if [ "$a" = "--no-demo" ]; then demo=""; else args+=("$a"); fi
done
# The program's own words (ENGLISH, DEUTSCH, CESKY, nopatchcheck) must stay the first argument.
exec ./build/vordax4 "${args[@]}" $demo
