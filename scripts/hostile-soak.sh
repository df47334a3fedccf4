#!/usr/bin/env bash
# Opt-in, not part of the test command: the hostile-input test of tests/e2e/hostile_test.sh for
# many rounds instead of five. Builds resizing.exe and the probe (the 32-bit product build, as
# scripts/run.sh does; the machine set up by scripts/setup.sh), then runs them under 32-bit Wine
# inside Xvfb. Prints the messages posted, sent and timed out, the checkpoints passed and failed,
# the GDI objects and private memory after every round, and the exit code.
#   scripts/hostile-soak.sh [ROUNDS [SEED]]    (100 rounds of 1000 draws, seed 1)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-100}
seed=${2:-1}
source scripts/wine-env.sh
source scripts/wine32-mode.sh
wine32_mode_begin
cmake --preset win32 >/dev/null
nice -n 10 cmake --build --preset win32 -j2 --target resizing probe
WINEPREFIX=$(wine_prefix_ready 96 run)
export WINEPREFIX WINE_LOADER=$WINE32_LOADER
xvfb-run -a -s "-screen 0 1280x1024x24" bash tests/e2e/hostile_test.sh build/win32 "$rounds" 1000 "$seed"
