#!/bin/sh
# Writes the manual page of vordax4-cli: the template with the sections of `vordax4-cli help`
# in place of @HELP@, so the page lists exactly the commands and options the program has.
# Usage: help-to-man.sh TEMPLATE VORDAX4-CLI OUTPUT
set -eu
template="$1"; cli="$2"; output="$3"
"$cli" help | awk '
  function roff(s) {
    gsub(/\\/, "\\e", s); gsub(/-/, "\\-", s)
    if (s ~ /^[.'"'"']/) s = "\\&" s
    return s
  }
  NR == 1, /^$/ { next }                                # the usage lines: the SYNOPSIS has them
  /^[a-z].*:$/ { section = $0; sub(/:$/, "", section); print ".SH " toupper(section); next }
  /^$/ { next }
  /^[^ ]/ { print ".PP"; print roff($0); next }          # a sentence of its own
  /^  [^ ]/ {
    line = substr($0, 3)
    print ".TP"
    if (section == "commands") { print ".B " roff(line); next }
    split_at = index(line, "  ")
    if (split_at == 0) { print ".B " roff(line); next }
    print ".B " roff(substr(line, 1, split_at - 1))
    text = substr(line, split_at); sub(/^ +/, "", text); print roff(text)
    next
  }
  { text = $0; sub(/^ +/, "", text); print roff(text) }  # the description goes on
' > "$output.help"
awk -v helpfile="$output.help" '
  $0 == "@HELP@" { while ((getline line < helpfile) > 0) print line; next }
  { print }
' "$template" > "$output"
rm -f "$output.help"
