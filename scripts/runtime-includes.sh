#!/usr/bin/env bash
# The include graph of the runtime's units, and a check that it has no cycle. A unit is a header
# and its implementation (strings.hpp and strings.cpp are the unit strings); unit A depends on
# unit B when a file of A includes B's header. Prints one line per unit with the units it
# depends on, and fails when the dependencies form a loop.
set -euo pipefail
cd "$(dirname "$0")/../runtime"

edges=$(
  find . -name '*.hpp' -o -name '*.cpp' | sed 's|^\./||' | sort | while read -r file; do
    unit=${file%.*}
    dir=$(dirname "$file")
    sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file" | while read -r target; do
      case "$target" in
        runtime/*) target=${target#runtime/} ;;
        *) target=$(realpath -m --relative-to=. "$dir/$target") ;;
      esac
      [ -e "$target" ] || continue  # not a runtime file
      to=${target%.*}
      [ "$to" != "$unit" ] && echo "$unit $to"
    done
  done | sort -u
)

for unit in $(find . -name '*.hpp' -o -name '*.cpp' | sed 's|^\./||; s|\.[^.]*$||' | sort -u); do
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
