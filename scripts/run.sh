#!/usr/bin/env bash
# Builds resizing.exe, the 32-bit product, and runs it under 32-bit Wine (under qemu's i386
# emulator where this machine's kernel cannot run 32-bit programs): on the display when there is
# one; otherwise inside Xvfb, where it is resized twice, photographed into the build folder and
# closed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/wine-env.sh
source scripts/wine32-mode.sh
wine32_mode_begin
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target resizing probe
build=build/win32
WINEPREFIX=$(wine_prefix_ready)
export WINEPREFIX WINE_LOADER=$WINE32_LOADER
if [ -n "${DISPLAY:-}" ]; then
  "$WINE_LOADER" "$build/resizing.exe"
else
  xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/run-headless.sh "$build"
fi
