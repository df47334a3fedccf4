#!/usr/bin/env bash
# Checks that the C++ snippets of a guide are taken from programs that the build compiles: every
# ```cpp block of the guide must occur as contiguous lines of some text file under the examples
# folder. Lines are compared exactly, after trailing whitespace is stripped from both sides.
# Fails on the first snippet that occurs nowhere, naming its place in the guide and its first
# line; also on a guide without snippets, an empty or unclosed block, or an indented ```cpp fence
# (which this check would otherwise pass over).
#
#   bash scripts/guide-snippets.sh docs/toolkit.md examples
set -euo pipefail
if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -d "$2" ]; then
  echo "usage: guide-snippets.sh GUIDE EXAMPLES_FOLDER" >&2
  exit 2
fi
guide=$1 examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The blocks, one file each (work/N), with the guide line of each block's first line in work/N.at.
awk -v dir="$work" '
  function fail(message) { print FILENAME ":" FNR ": " message > "/dev/stderr"; bad = 1; exit 1 }
  /^[ \t]+```cpp/ { fail("indented ```cpp fence: the snippet check cannot see such a block") }
  !inside && /^```cpp[ \t]*$/ { inside = 1; n++; lines = 0; file = dir "/" n; next }
  inside && /^```[ \t]*$/ {
    inside = 0
    if (lines == 0) fail("empty ```cpp block")
    close(file)
    next
  }
  inside {
    sub(/[ \t\r]+$/, "")
    if (lines == 0) print FNR > (file ".at")
    print > file
    lines++
  }
  END {
    if (bad) exit 1
    if (inside) { print FILENAME ": unclosed ```cpp block" > "/dev/stderr"; exit 1 }
    if (n == 0) { print FILENAME ": no ```cpp blocks" > "/dev/stderr"; exit 1 }
  }
' "$guide"

# The text files of the examples (binary files, images say, are left out).
mapfile -t sources < <(find "$examples" -type f -print0 | xargs -0 grep -Il '' | sort)
if [ ${#sources[@]} -eq 0 ]; then
  echo "guide-snippets: no text files under $examples" >&2
  exit 1
fi

# Exit status 0 when the snippet (the first file) occurs as contiguous lines in one of the others.
occurs='
  FNR == 1 && NR > 1 && found_in(lines_count) { found = 1; exit }
  FNR == 1 && NR > 1 { lines_count = 0 }
  NR == FNR { sub(/[ \t\r]+$/, ""); snippet[++m] = $0; next }
  { sub(/[ \t\r]+$/, ""); line[++lines_count] = $0 }
  function found_in(count,    start, k) {
    for (start = 1; start + m - 1 <= count; start++) {
      for (k = 1; k <= m && line[start + k - 1] == snippet[k]; k++) {}
      if (k > m) return 1
    }
    return 0
  }
  END { if (found || found_in(lines_count)) exit 0; exit 1 }
'

count=0
for block in $(ls "$work" | grep -v '\.at$' | sort -n); do
  count=$((count + 1))
  if ! awk "$occurs" "$work/$block" "${sources[@]}"; then
    echo "guide-snippets: $guide:$(cat "$work/$block.at"): snippet not found in any file under $examples:" >&2
    echo "  $(head -n 1 "$work/$block")" >&2
    exit 1
  fi
done
echo "guide-snippets: all $count snippets of $guide occur in files under $examples"
