#!/usr/bin/env bash
# fuzz/run.sh --list names exactly the fuzz targets the fuzz folders declare, and nothing else.
set -euo pipefail
root="$1"
listed=$("$root/fuzz/run.sh" --list)
declared=$(grep -ho 'vordax4_add_fuzzer(fuzz_[A-Za-z0-9_]*' "$root"/fuzz/*/CMakeLists.txt | sed 's/.*(//' | sort)
[ -n "$listed" ] || { echo "no targets listed"; exit 1; }
if [ "$listed" != "$declared" ]; then
  echo "listed:"; echo "$listed"; echo "declared:"; echo "$declared"
  exit 1
fi
