#!/usr/bin/env bash
# Builds a program of the 32-bit build and runs it under 32-bit Wine (under qemu's i386 emulator
# where this machine's kernel cannot run 32-bit programs): on the display when there is one;
# otherwise inside Xvfb, where it is photographed into build/win32/screenshots and closed.
#
#   bash scripts/run.sh                      resizing.exe, the product (resized twice in Xvfb)
#   bash scripts/run.sh PROGRAM [ARGS...]    another program of the build, an example say:
#                                            bash scripts/run.sh controls_demo show-menu
#   bash scripts/run.sh PROGRAM [ARGS...] -- ACTION...
#                                            the program driven between its start and its close
#                                            by dialogkit-driver's actions (tools/driver/), on the
#                                            display or in Xvfb:
#                                            bash scripts/run.sh todo -- set 100 "Buy milk" click 101
#   The actions act on the program's first dialog; then the program is closed, unless they ended
#   it. The exit status is not 0 when an action failed or the program's exit code is not 0.
# WINE_DPI=120 (or 144, ...) runs it in a prefix whose programs see that resolution in dots per
# inch instead of 96.
#
# On a display without actions the program is left to the user, in a Wine prefix of the run
# command's own that lets the window manager manage the dialog and draw its frame, as for any
# other program. Otherwise it runs through the test kit (tools/kit/dialogkit-test), in the kit's
# prefix, where Wine draws the frame itself, as in the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
program=resizing
if [ $# -gt 0 ] && [ "$1" != -- ]; then program=$1; shift; fi
acting=0
for word in "$@"; do if [ "$word" = -- ]; then acting=1; fi; done
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target "$program" dialogkit_driver
build=build/win32
if [ -n "${DISPLAY:-}" ] && [ $acting = 0 ]; then
  source scripts/wine-env.sh
  source scripts/wine32-mode.sh
  wine32_mode_begin
  WINEPREFIX=$(wine_prefix_ready "${WINE_DPI:-96}" desktop) "$WINE32_LOADER" "$build/$program.exe" "$@"
  exit
fi
kit=(bash tools/kit/dialogkit-test --dpi "${WINE_DPI:-96}")
if [ -z "${DISPLAY:-}" ]; then
  shots=$PWD/$build/screenshots
  mkdir -p "$shots"
  echo "screenshots in $shots"
  if [ "$program" = resizing ] && [ $acting = 0 ]; then
    set -- "$@" -- screenshot "$shots/1-start.bmp" resize 420 300 screenshot "$shots/2-420x300.bmp" \
      resize 260 360 screenshot "$shots/3-260x360.bmp"
  else
    kit+=(--screenshot "$shots/$program.bmp")
  fi
fi
DIALOGKIT_DRIVER=$build/dialogkit-driver.exe "${kit[@]}" "$build/$program.exe" "$@"
