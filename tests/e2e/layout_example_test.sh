#!/usr/bin/env bash
# End to end: the layout example (examples/layout) under Wine in the current X display (Xvfb),
# driven from outside by the probe: its start size, every control and its size grip where the
# table's rules put them over a series of resizes, one of them below the least size, which the
# dialog keeps; maximised and restored; then the close request ending it with exit code 0.
# With DPI (96, 120, 144, ...) it runs in a prefix whose programs see that resolution.
#   layout_example_test.sh BUILD [DPI]
set -u
build=$(cd "$1" && pwd)
dpi=${2:-96}
fail=0
note() { echo "e2e layout at $dpi dpi: $*"; }
source "$(dirname "$0")/common.sh"
use_prefix_of_dpi "$dpi"
start_program layout
bash "$wine" "$build/probe.exe" layout-check "$dpi" | tee "$out/layout-check-$dpi.txt"
grep -q '^ok: 0 failures' "$out/layout-check-$dpi.txt" || { note "the check found failures"; fail=1; }
close_and_expect_exit_0 layout
exit $fail
