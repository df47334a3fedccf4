#!/usr/bin/env bash
# Builds a program of the 32-bit build and runs it under 32-bit Wine (under qemu's i386 emulator
# where this machine's kernel cannot run 32-bit programs): on the display when there is one;
# otherwise inside Xvfb, where it is photographed into build/win32/screenshots and closed.
#
#   bash scripts/run.sh                      resizing.exe, the product (resized twice in Xvfb)
#   bash scripts/run.sh PROGRAM [ARGS...]    another program of the build, an example say:
#                                            bash scripts/run.sh controls_demo show-menu
# WINE_DPI=120 (or 144, ...) runs it in a prefix whose programs see that resolution in dots per
# inch instead of 96.
#
# The program runs in a Wine prefix of the run command's own, never in the one the tests use, so
# that it can be looked at while the test command runs. On a display (DISPLAY set) that prefix
# lets the window manager manage the dialog and draw its frame, as for any other program; in Xvfb,
# where no window manager runs, Wine draws the frame itself, as in the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-resizing}
[ $# -gt 0 ] && shift
bash scripts/setup.sh
source scripts/wine-env.sh
source scripts/wine32-mode.sh
wine32_mode_begin
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target "$program" probe
build=build/win32
variant=run
[ -n "${DISPLAY:-}" ] && variant=desktop
WINEPREFIX=$(wine_prefix_ready "${WINE_DPI:-96}" $variant)
export WINEPREFIX WINE_LOADER=$WINE32_LOADER
if [ -n "${DISPLAY:-}" ]; then
  "$WINE_LOADER" "$build/$program.exe" "$@"
else
  xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/run-headless.sh "$build" "$program" "$@"
fi
