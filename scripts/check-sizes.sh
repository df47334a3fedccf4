#!/usr/bin/env bash
# The size budgets: each program of the list, as built in BUILD, must be no larger than its
# budget in bytes. Sizes are exact (the file's size), so the check is as repeatable as the build.
#   check-sizes.sh BUILD BUDGETS
# BUDGETS holds lines "PROGRAM BYTES BUILD [BYTES_WITHOUT_RESOURCES]" (PROGRAM relative to BUILD,
# BUILD win32 or win64); # starts a comment. A line for the other build is passed over. The last
# column, where given, budgets the program without its resources (the file less its .rsrc
# section: the application manifest and the program's own resources), which is what its code,
# data and headers cost.
set -u
build=$1 budgets=$2
format=$(objdump -f "$build/resizing.exe" | sed -n 's/.*file format //p')
case "$format" in pei-i386) this=win32 ;; *) this=win64 ;; esac
fail=0 checked=0
while read -r program budget only bare_budget; do
  case "$program" in ''|'#'*) continue ;; esac
  [ "$only" = "$this" ] || continue
  exe=$build/$program
  if [ ! -f "$exe" ]; then echo "FAIL: $program is not built"; fail=1; continue; fi
  size=$(stat -c %s "$exe")
  resources=$(bash "$(dirname "$0")/pe-sections.sh" "$exe" | awk '$2 == ".rsrc" {print $3}')
  bare=$((size - ${resources:-0}))
  checked=$((checked + 1))
  over=
  if [ "$size" -gt "$budget" ]; then
    echo "FAIL: $program is $size bytes, over its budget of $budget by $((size - budget))"
    over=1
  fi
  if [ -n "$bare_budget" ] && [ "$bare" -gt "$bare_budget" ]; then
    echo "FAIL: $program is $bare bytes without its resources, over its budget of $bare_budget by $((bare - bare_budget))"
    over=1
  fi
  if [ -n "$over" ]; then
    bash "$(dirname "$0")/pe-sections.sh" "$exe" | sed 's/^/  /'
    fail=1
  else
    echo "ok: $program $size bytes (budget $budget), $bare without resources${bare_budget:+ (budget $bare_budget)}"
  fi
done <"$budgets"
[ "$checked" -gt 0 ] || { echo "FAIL: no budget applies to this build ($this)"; exit 1; }
exit $fail
