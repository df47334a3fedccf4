#!/usr/bin/env bash
# Prints the layout of a PE image, one line per part, read from its headers:
#   headers BYTES
#   section NAME RAW_BYTES USED_BYTES
# RAW_BYTES is what the section takes in the file (a multiple of the file alignment), USED_BYTES
# its size in memory as the image declares it (for a section that holds more than the file
# stores, such as the runtime's data page, that is larger than RAW_BYTES).
#   pe-sections.sh PROGRAM.exe
set -eu
exe=$1
u32() { od -An -tu4 -j "$1" -N 4 "$exe" | tr -d ' '; }
u16() { od -An -tu2 -j "$1" -N 2 "$exe" | tr -d ' '; }
pe=$(u32 60)
sections=$(u16 $((pe + 6)))
optional_size=$(u16 $((pe + 20)))
optional=$((pe + 24))
echo "headers $(u32 $((optional + 60)))"
table=$((optional + optional_size))
for ((i = 0; i < sections; i++)); do
  at=$((table + 40 * i))
  name=$(dd if="$exe" bs=1 skip=$at count=8 status=none | tr -d '\0')
  echo "section $name $(u32 $((at + 16))) $(u32 $((at + 8)))"
done
