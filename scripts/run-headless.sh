#!/usr/bin/env bash
# Inside Xvfb: starts resizing.exe, photographs it, resizes it twice (photographing each size),
# closes it with the system's close request and reports its exit code.
set -u
build=$1
shots=$build/screenshots
mkdir -p "$shots"
"$WINE_LOADER" "$build/resizing.exe" &
app=$!
probe() { "$WINE_LOADER" "$build/probe.exe" "$@"; }
for _ in $(seq 1 900); do xwininfo -root -tree 2>/dev/null | grep -q '"Resizing"' && break; sleep 0.1; done
sleep 0.5
import -window root "$shots/1-start.png"
probe resize 420 300 && sleep 0.3 && import -window root "$shots/2-420x300.png"
probe resize 260 360 && sleep 0.3 && import -window root "$shots/3-260x360.png"
probe close
wait $app
rc=$?
echo "screenshots in $shots; resizing.exe exited with $rc"
exit $rc
