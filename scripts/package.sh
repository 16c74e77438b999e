#!/usr/bin/env bash
# Builds the Debian package: a Release build of the three programs in build-package/ (another
# folder in VORDAX4_BUILD_DIR), then CPack. Prints the path of the .deb it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build="${VORDAX4_BUILD_DIR:-build-package}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
# Built with Debian's hardening flags, as lintian expects of a package.
mapfile -t hardening < <(./scripts/hardening-flags.sh)
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORDAX4_BENCH=OFF "${hardening[@]}" >/dev/null
else
  cmake -S . -B "$build" "${hardening[@]}" >/dev/null
fi
# Only what the package holds; the tests are not built here.
cmake --build "$build" -j"$(nproc)" --target vordax4 vordax4-cli vordax4-unitsim vordax4_docs
rm -f "$build"/vordax4_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/vordax4_*.deb
