#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The folders in their order
# from the bottom up come from layers.txt; a folder may include its own headers and those of every
# folder before it.
# A folder's ui/ part (widgets) may be included only from another ui/ part or from a folder above.
# Usage: scripts/check-layers.sh [source root]
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"

mapfile -t order < <(grep -v -e '^#' -e '^[[:space:]]*$' layers.txt)
declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$i; done

folder_of() { # src/link/X.cpp -> link, cli/X.cpp -> cli, tools/unitsim/X -> tools
  case "$1" in
    src/*) local rest="${1#src/}"; echo "${rest%%/*}" ;;
    *) echo "${1%%/*}" ;;
  esac
}

status=0
while IFS= read -r file; do
  own=$(folder_of "$file")
  [ -n "${rank[$own]:-}" ] || continue
  own_is_ui=0
  [[ "$file" == */ui/* ]] && own_is_ui=1
  while IFS= read -r header; do
    used="${header%%/*}"
    [ "$used" = "$header" ] && continue           # a header beside the file
    [ -n "${rank[$used]:-}" ] || continue          # not one of ours
    if [ "${rank[$used]}" -gt "${rank[$own]}" ]; then
      echo "$file includes $header: $used is a layer above $own" >&2
      status=1
    elif [[ "$header" == */ui/* && "$used" == "$own" && $own_is_ui -eq 0 ]]; then
      echo "$file includes $header: the widgets of $own sit above its core" >&2
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find src cli tools -name '*.h' -o -name '*.cpp' | sort)
exit $status
