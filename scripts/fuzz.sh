#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/*_fuzz.cpp) with clang against the host runtime and runs
# each for a bounded time on its corpus (fuzz/corpus/<target>/, kept in the repository).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
out=build/fuzz
mkdir -p "$out"
shopt -s nullglob
targets=(fuzz/*_fuzz.cpp)
[ ${#targets[@]} -gt 0 ] || exit 0
flags=(-std=gnu++17 -O1 -g -I. -fno-exceptions -fno-rtti -fno-pie
       -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
# The runtime and the toolkit's pure logic as one archive, so a target links only what it uses.
rm -f "$out"/*.o "$out/libhost.a"
for src in runtime/*.cpp runtime/host/*.cpp toolkit/*_logic.cpp; do
  [ "$src" = runtime/entry.cpp ] && continue
  clang++ "${flags[@]}" -c "$src" -o "$out/$(echo "$src" | tr / _).o"
done
ar rcs "$out/libhost.a" "$out"/*.o
for src in "${targets[@]}"; do
  name=$(basename "$src" .cpp)
  clang++ "${flags[@]}" -fsanitize=fuzzer -no-pie "$src" "$out/libhost.a" -o "$out/$name"
  corpus=fuzz/corpus/$name
  mkdir -p "$corpus" "$out/$name.new"
  echo "fuzzing $name for ${seconds}s"
  "$out/$name" -max_total_time="$seconds" -print_final_stats=0 "$out/$name.new" "$corpus" 2>&1 | tail -n 3
done
