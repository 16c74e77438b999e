#!/usr/bin/env bash
# The bash completion offers what the programs' own help names: every command, a command's options,
# the COM numbers after --port and the devices after "N=", the window program's first words.
# Usage: completion-test.sh COMPLETION-FILE BIN-FOLDER...
set -uo pipefail
completion="$1"; shift
for folder in "$@"; do PATH="$folder:$PATH"; done
source /usr/share/bash-completion/bash_completion || { echo "bash-completion is not installed"; exit 1; }
source "$completion"
export VORDAX4_ONLY_MAPPED_PORTS=1 VORDAX4_PORTS="7=/dev/null"

failures=0
# complete FUNCTION WORD... : COMPREPLY for the last word of the line
complete_line() {
  local fn=$1; shift
  COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}; COMPREPLY=()
  "$fn"
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
expect() {
  local wanted=$1; shift
  local got
  got=$(complete_line "$@")
  if [ "$got" != "$wanted" ]; then
    echo "[$*] offers '$got', not '$wanted'"
    failures=$((failures + 1))
  fi
}

# expect_has WORD FUNCTION WORD...: WORD is among the offers
expect_has() {
  local wanted=$1; shift
  local got
  got=$(complete_line "$@")
  if [[ " $got" != *" $wanted "* ]]; then
    echo "[$*] offers '$got', without '$wanted'"
    failures=$((failures + 1))
  fi
}

commands=$(vordax4-cli help | awk '/^commands:/ { on = 1; next } /^$/ { on = 0 } on && /^  [^ ]/ { print $1 }' | sort | tr '\n' ' ')
expect "$(printf '%s\n' $commands --help --lang --version | sort | tr '\n' ' ')" _vordax4_cli vordax4-cli ''
expect "log-export log-plot " _vordax4_cli vordax4-cli --lang de log
expect "--angles --heat --help --map --reference --size --surface --view " _vordax4_cli vordax4-cli render x.ign --
expect "advance iap power1 power2 servo tp " _vordax4_cli vordax4-cli render x.ign --map ''
expect "--add --cols --help --map --rows --scale --set --smooth -o " _vordax4_cli vordax4-cli map x.ign -
expect "advance servo " _vordax4_cli vordax4-cli map x.ign --map ''
expect "--help --json --map --settings " _vordax4_cli vordax4-cli hits ride.ignlog --
expect "advance servo " _vordax4_cli vordax4-cli hits ride.ignlog --map ''
expect "en " _vordax4_cli vordax4-cli --lang e
expect_has "7" _vordax4_cli vordax4-cli identify --port ''
[ ! -e /dev/ttyS0 ] || expect_has "/dev/ttyS0" _vordax4_cli vordax4-cli identify --port 7=/dev/ttyS
expect "diff " _vordax4_cli vordax4-cli help dif
expect "DEUTSCH " _vordax4 vordax4 D
expect "--demo --help --version " _vordax4 vordax4 --
[ "$failures" -eq 0 ]
