#!/usr/bin/env bash
# The 32-bit product under Wine in Xvfb (under the emulator where the kernel cannot run 32-bit
# programs): time from process start to the dialog being visible, and the cost of one resize
# (300 SetWindowPos resizes from the probe, a 64-bit program, per resize), each the median of
# several runs.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
source scripts/wine-env.sh
source scripts/wine32-mode.sh
wine32_mode_begin
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target resizing probe >/dev/null
build=build/win32
WINEPREFIX=$(wine_prefix_ready)
export WINEPREFIX
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "
  '$WINE64_LOADER' '$build/probe.exe' bench '$build/resizing.exe' 50 >/dev/null  # warm the prefix
  for i in \$(seq 1 $runs); do '$WINE64_LOADER' '$build/probe.exe' bench '$build/resizing.exe' 300; done
" | tee /tmp/e2e_timing.txt
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "median start to visible: $(awk '{print $2}' /tmp/e2e_timing.txt | median) ms"
echo "median per resize: $(awk '{print $4}' /tmp/e2e_timing.txt | median) ms"
"$WINESERVER" -k 2>/dev/null || true
