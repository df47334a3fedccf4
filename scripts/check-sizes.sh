#!/usr/bin/env bash
# The size budgets: each program of the list, as built in BUILD, must be no larger than its
# budget in bytes. Sizes are exact (the file's size), so the check is as repeatable as the build.
#   check-sizes.sh BUILD BUDGETS
# BUDGETS holds lines "PROGRAM BYTES" (PROGRAM relative to BUILD); # starts a comment. A line
# whose program the build does not have (a 64-bit build's budgets are the 32-bit ones, so each
# line may name the build it is for: "PROGRAM BYTES win32") is passed over.
set -u
build=$1 budgets=$2
format=$(objdump -f "$build/resizing.exe" | sed -n 's/.*file format //p')
case "$format" in pei-i386) this=win32 ;; *) this=win64 ;; esac
fail=0 checked=0
while read -r program budget only; do
  case "$program" in ''|'#'*) continue ;; esac
  [ -z "$only" ] || [ "$only" = "$this" ] || continue
  exe=$build/$program
  if [ ! -f "$exe" ]; then echo "FAIL: $program is not built"; fail=1; continue; fi
  size=$(stat -c %s "$exe")
  checked=$((checked + 1))
  if [ "$size" -gt "$budget" ]; then
    echo "FAIL: $program is $size bytes, over its budget of $budget by $((size - budget))"
    bash "$(dirname "$0")/pe-sections.sh" "$exe" | sed 's/^/  /'
    fail=1
  else
    echo "ok: $program $size bytes (budget $budget)"
  fi
done <"$budgets"
[ "$checked" -gt 0 ] || { echo "FAIL: no budget applies to this build ($this)"; exit 1; }
exit $fail
