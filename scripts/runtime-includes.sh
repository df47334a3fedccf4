#!/usr/bin/env bash
# The include graph of the runtime's units, and a check that it has no cycle. A unit is a header
# and its implementation (include/dialogkit/runtime/strings.hpp and runtime/strings.cpp are the
# unit strings); unit A depends on unit B when a file of A includes B's header. Prints one line per unit with the units it
# depends on, and fails when the dependencies form a loop.
set -euo pipefail
cd "$(dirname "$0")/.."

# The runtime's files, each as its path from runtime/ or include/dialogkit/runtime/.
files() { (cd runtime && find . -name '*.hpp' -o -name '*.cpp'; cd ../include/dialogkit/runtime && find . -name '*.hpp') | sed 's|^\./||' | sort -u; }
# Where a runtime file lies.
place() { if [ -e "runtime/$1" ]; then echo "runtime/$1"; else echo "include/dialogkit/runtime/$1"; fi; }

edges=$(
  files | while read -r file; do
    unit=${file%.*}
    sed -n 's/^#include "\([^"]*\)".*/\1/p' "$(place "$file")" | while read -r target; do
      case "$target" in
        dialogkit/runtime/*) target=${target#dialogkit/runtime/} ;;
        runtime/*) target=${target#runtime/} ;;
        *) continue ;;  # not a runtime file
      esac
      [ -e "$(place "$target")" ] || continue
      to=${target%.*}
      [ "$to" != "$unit" ] && echo "$unit $to"
    done
  done | sort -u
)

for unit in $(files | sed 's|\.[^.]*$||' | sort -u); do
  deps=$(printf '%s\n' "$edges" | awk -v u="$unit" '$1 == u {printf " %s", $2}')
  echo "$unit ->${deps:- (nothing)}"
done

# tsort names the units of a loop on its standard error and exits with a failure.
if ! loop=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null); then
  printf '%s\n' "$loop" >&2
  echo "FAIL: the runtime's units include each other in a loop" >&2
  exit 1
fi
echo "ok: no include cycle among the runtime's units"
