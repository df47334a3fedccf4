#!/usr/bin/env bash
# Runs every test: the host suite (and number to text's 32-bit digit code), the host suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, and the
# Windows suites under Wine inside Xvfb: the 32-bit product build (resizing.exe as shipped, its
# start-up programs, the Windows tests and the end-to-end test) and the 64-bit build of the same
# sources. Where this machine's kernel cannot run 32-bit programs, 32-bit Wine runs under qemu's
# i386 user-mode emulator, registered for the duration of this command.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
bash scripts/setup.sh
source scripts/wine-env.sh
source scripts/wine32-mode.sh
wine32_mode_begin

for preset in host host-sanitize fuzz; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset
  ctest --preset $preset -j2
done

# Under qemu's user-mode emulator one case cannot run: when a second thread sends the dialog
# its close request while the loop idles, the emulator hands Wine a signal without its trap
# number, which Wine takes for an illegal instruction, and the test program hangs. It runs in
# the 32-bit suite where the kernel runs 32-bit programs, and in the 64-bit suite everywhere.
EMULATOR_EXCLUDED=DialogModalTest.DialogClosedBySentMessageEndsTheIdleLoop

# One Windows suite: its build, and its tests in one Xvfb (CTest runs them under the Wine loader
# of the build's architecture, in the machine's prefix). The test preset says how: each case on
# its own (win32) or each program whole (the -whole presets), where starting a program costs
# much: under the emulator, and for the 64-bit suite, which only checks the same sources again.
windows_suite() {
  local preset=$1 tests=$2 status=0 filter= cases=ON timeout=300
  [ "$tests" = "$preset" ] || cases=OFF
  if [ "$preset" = win32 ] && [ "$WINE32_MODE" = emulated ]; then
    filter=-$EMULATOR_EXCLUDED timeout=1200
    echo "note: under the emulator the 32-bit suite leaves out $EMULATOR_EXCLUDED (it runs in the 64-bit suite)"
  fi
  cmake --preset "$preset" -DWINE_TESTS=ON -DWINE_TEST_CASES=$cases -DWINE_PROGRAM_TIMEOUT=$timeout >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset suite (test preset $tests)"
  env ${filter:+GTEST_FILTER=$filter} xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$tests" || status=$?
  WINEPREFIX=$(wine_prefix_path) "$WINESERVER" -k 2>/dev/null || true
  return $status
}

status=0
if [ "$WINE32_MODE" = native ]; then
  windows_suite win32 win32 || status=1
else
  windows_suite win32 win32-whole || status=1
fi
windows_suite win64 win64-whole || status=1
echo "32-bit suite ran $WINE32_MODE; the whole test command took $(( SECONDS - started )) s"
exit $status
