#!/usr/bin/env bash
# Prints, one per line, the CMake options that build with Debian's hardening flags (fortified
# functions, stack protector, format checks, read-only relocations bound at start-up); the Release
# optimisation stays CMake's. Prints nothing where dpkg-buildflags is missing.
set -euo pipefail
command -v dpkg-buildflags >/dev/null || exit 0
export DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=-all" DEB_CXXFLAGS_MAINT_STRIP="-g -O2"
echo "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
echo "-DCMAKE_EXE_LINKER_FLAGS=$ldflags"
echo "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags"
