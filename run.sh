#!/usr/bin/env bash
# Installs what is missing, builds the program (Release, in build/) and starts it.
# Arguments are passed on to the program, for example ./run.sh --demo or ./run.sh DEUTSCH.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
exec ./build/vordax4 "$@"
