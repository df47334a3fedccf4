#!/usr/bin/env bash
# What one resize costs in painting, under Wine's real user32 in Xvfb: background erases of the
# dialog (all of them, and those while the controls move), paints of the dialog and of its
# controls, the pixels of controls that the dialog's erases covered, and the controls that moved
# at their old size without being painted again (they show pixels copied from their old place).
# Three ways over the same ten resizes of the same five controls: a callback that moves and
# sizes each control with its own two calls (as Resizing's does), a layout table
# (layout_attach: one deferred batch), and a layout table with WS_CLIPCHILDREN taken away again.
# The counting is the Wine test LayoutPaint.OneBatchErasesOnceAndRepaintsWhatMoved, which also
# fails when the table's figures go wrong.
#   bench/paint_counts.sh [win32|win64]    the build whose test program counts (default win32)
# The 32-bit build's Wine tests need a kernel that runs 32-bit programs, or the emulator that the
# test command registers; win64 counts with the same sources natively.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-win32}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target layout_test >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$preset" -R '^layout_test\.LayoutPaint\.' -V |
  sed -n 's/^[0-9]*: *\(paint counts per resize.*\)/\1/p; s/^\([0-9]*% tests passed.*\)/\1/p'
