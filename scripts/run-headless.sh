#!/usr/bin/env bash
# Inside Xvfb: starts resizing.exe, lets it show, and ends it; reports its exit code. Later the
# probe resizes it and screenshots are saved.
set -u
build=$1
"$WINE_LOADER" "$build/resizing.exe" &
pid=$!
wait $pid
rc=$?
echo "resizing.exe exited with $rc"
exit $rc
