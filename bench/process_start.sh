#!/usr/bin/env bash
# What a 32-bit process start costs, natively and under each installed qemu i386 emulator, and
# what the whole 32-bit Windows suite costs in the test command, natively and emulated. Every
# start is of startup_tls_fails.exe (32-bit, built on program_entry), which ends at once with
# 255: the time is Wine's start-up and shutdown of a 32-bit process, nothing of the program.
#   bench/process_start.sh [RUNS]          one process start, median of RUNS (default 5)
#   SUITES=1 bench/process_start.sh [RUNS] also the 32-bit suite, native (where the kernel runs
#                                          32-bit programs) and emulated
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
bash scripts/setup.sh --emulator >/dev/null
source scripts/wine-env.sh
cmake --preset win32 -DWINE_TESTS=ON >/dev/null
cmake --build --preset win32 --target startup_tls_fails >/dev/null
exe=build/win32/startup_tls_fails.exe
export WINEPREFIX
WINEPREFIX=$(wine_prefix_ready 96 run)
"$WINESERVER" -p  # one Wine server for every start below, started once

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# time_starts LABEL COMMAND...: RUNS starts of the program, each must end with 255.
time_starts() {
  local label=$1 t rc
  shift
  local times
  times=$(mktemp)
  for _ in $(seq 1 "$runs"); do
    /usr/bin/time -f %e -a -o "$times" "$@" "$exe" >/dev/null 2>&1 || true
  done
  grep -v '^Command' "$times" | median | { read -r m; printf '%-56s %8s s\n' "$label" "$m"; }
  rm -f "$times"
}

echo "one 32-bit process start (median of $runs):"
source scripts/wine32-mode.sh
if wine32_kernel_runs_i386 && ! [ -e "$WINE32_BINFMT/$WINE32_ENTRY_NAME" ]; then
  time_starts "native" "$WINE32_LOADER"
fi
# The emulator run directly, without a registration: the loader is told not to run itself
# again (which would go through the kernel's registration).
# QEMU_EXTRA names further emulators to compare (an older qemu-i386-static unpacked somewhere).
for qemu in /usr/bin/qemu-i386 ${QEMU_EXTRA:-}; do
  [ -x "$qemu" ] || continue
  version=$("$qemu" --version | sed -n '1s/.*version \([0-9.]*\).*/\1/p')
  time_starts "emulated, $qemu $version" env WINELOADERNOEXEC=1 "$qemu" "$WINE32_LOADER"
done
"$WINESERVER" -k 2>/dev/null || true

if [ "${SUITES:-0}" = 1 ]; then
  echo "the 32-bit Windows suite in the test command:"
  for mode in native emulated; do
    [ $mode = native ] && ! wine32_kernel_runs_i386 && continue
    WINE32_MODE=$([ $mode = emulated ] && echo emulated) TEST_SUITES=windows-32-bit \
      bash scripts/test.sh > "build/logs/suite-$mode.txt" 2>&1 || true
    grep -E '^windows-32-bit ' "build/logs/suite-$mode.txt" | awk -v m=$mode '{printf "%-10s %s tests, %s passed, %s failed, %s s\n", m, $2, $3, $4, $5}'
  done
fi
