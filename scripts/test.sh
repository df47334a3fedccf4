#!/usr/bin/env bash
# Runs every test: the host suite, the host suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, and the Windows suite under
# Wine inside one Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/wine-env.sh

for preset in host host-sanitize; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset
  (cd build/$preset && ctest --output-on-failure)
done

if [ -x scripts/fuzz.sh ]; then bash scripts/fuzz.sh; fi

# The product: PE32, entry point and imports.
wine_tests=OFF
[ "$WINE_PRESET" = win32 ] && wine_tests=ON
cmake --preset win32 -DWINE_TESTS=$wine_tests >/dev/null
cmake --build --preset win32
(cd build/win32 && ctest --output-on-failure -R product_imports)

# The Windows suite under Wine.
if [ "$WINE_PRESET" != win32 ]; then
  cmake --preset "$WINE_PRESET" -DWINE_TESTS=ON >/dev/null
  cmake --build --preset "$WINE_PRESET"
fi
build=build/$WINE_PRESET
export WINEPREFIX=$PWD/$build/wineprefix
[ -d "$WINEPREFIX" ] || bash scripts/wine-prefix.sh "$WINE_LOADER" >/dev/null 2>&1
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "cd $build && ctest --output-on-failure" || status=$?
"${WINE_LOADER%/*}/wineserver" -k 2>/dev/null || true
exit $status
