#!/usr/bin/env bash
# Size of the product and its import list: builds the 32-bit resizing.exe and prints its size in
# bytes, its sections and the functions it imports from each DLL; then the size of each example
# program of the same build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target resizing hello controls_demo counter todo layout loan >/dev/null
exe=build/win32/resizing.exe
echo "resizing.exe: $(stat -c %s $exe) bytes (goal: 8192 or less)"
objdump -h $exe | awk '/^ +[0-9]/ {print $2, $3}' | while read -r name hex; do
  printf '  section %-8s %6d bytes\n' "$name" $(( 0x$hex ))
done
objdump -p $exe | awk '/DLL Name:/ {dll=$3; printf "  %s:", dll} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z]/ && dll {printf " %s", $NF} /^$/ && dll {print ""; dll=""}'
echo
for example in hello controls_demo counter todo layout loan; do
  echo "$example.exe: $(stat -c %s build/win32/$example.exe) bytes"
done
