#!/usr/bin/env bash
# Checks that a built program calls each of the named routines: the link map beside the program
# gives a routine's address, and the program's code (objdump -d) must hold a direct call to it,
# or a jump (a call in tail position).
#   check-calls.sh PROGRAM.exe ROUTINE...
set -eu
exe=$1; shift
code=$(objdump -d "$exe")
fail=0
for routine in "$@"; do
  # The map names C symbols with or without the 32-bit ABI's underscore.
  address=$(awk -v s="$routine" -v t="_$routine" '($2 == s || $2 == t) && $1 ~ /^0x/ {print $1}' "$exe.map" | head -n 1)
  if [ -z "$address" ]; then echo "FAIL: $routine is not in the link map of $exe"; fail=1; continue; fi
  calls=$(printf '%s\n' "$code" | grep -cE "(call|jmp) +0x$(printf '%x' $((address)))\$" || true)
  if [ "$calls" -eq 0 ]; then echo "FAIL: nothing in $exe calls $routine at $address"; fail=1; continue; fi
  echo "ok: $routine at $address, called $calls times"
done
exit $fail
