#!/usr/bin/env bash
# Builds resizing.exe and runs it under Wine: on the display when there is one; otherwise inside
# Xvfb, where it is resized twice, photographed into the build folder and closed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/wine-env.sh
cmake --preset win32 -DWINE_TESTS=OFF >/dev/null
cmake --build --preset win32 --target resizing probe
build=build/win32
if [ "$WINE_PRESET" != win32 ]; then
  echo "note: this machine cannot run 32-bit programs; running the 64-bit build of the same sources"
  cmake --preset "$WINE_PRESET" -DWINE_TESTS=OFF >/dev/null
  cmake --build --preset "$WINE_PRESET" --target resizing probe
  build=build/$WINE_PRESET
fi
export WINEPREFIX=$PWD/$build/wineprefix
[ -d "$WINEPREFIX" ] || bash scripts/wine-prefix.sh "$WINE_LOADER" >/dev/null 2>&1
if [ -n "${DISPLAY:-}" ]; then
  exec "$WINE_LOADER" "$build/resizing.exe"
fi
xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/run-headless.sh "$build"
