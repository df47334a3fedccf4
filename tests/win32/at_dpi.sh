#!/usr/bin/env bash
# Runs Windows test programs in the Wine prefix of another resolution, with that prefix's own Wine
# server kept for the run and ended after it, as the end-to-end tests at other resolutions do.
# Each program is given its GoogleTest filter; the exit status is the first failure's.
#
#   bash tests/win32/at_dpi.sh DPI PROGRAM FILTER [PROGRAM FILTER]...
set -u
here=$(cd "$(dirname "$0")/../../scripts" && pwd)
source "$here/wine-env.sh"
dpi=$1
shift
WINEPREFIX=$(wine_prefix_ready "$dpi") || exit 1
export WINEPREFIX
wine_server_keep "$WINEPREFIX" || exit 1
status=0
while [ $# -ge 2 ]; do
  echo "== $(basename "$1") at $dpi dpi"
  bash "$here/wine-run.sh" "$1" --gtest_brief=1 "--gtest_filter=$2" || { [ $status -ne 0 ] || status=1; }
  shift 2
done
wine_server_end "$WINEPREFIX"
exit $status
