#!/usr/bin/env bash
# Inside Xvfb: starts a program of the build, photographs its dialog into the build folder's
# screenshots, closes it with the system's close request and reports its exit code. Resizing is
# also resized twice, each size photographed.
set -u
build=$1 program=$2
shift 2
shots=$build/screenshots
mkdir -p "$shots"
"$WINE_LOADER" "$build/$program.exe" "$@" &
app=$!
probe() { env -u WINE_LOADER bash scripts/wine-run.sh "$build/probe.exe" "$@"; }  # 64-bit: its own loader
if [ "$program" = resizing ]; then
  for _ in $(seq 1 900); do xwininfo -root -tree 2>/dev/null | grep -q '"Resizing"' && break; sleep 0.1; done
  sleep 0.5
  import -window root "$shots/1-start.png"
  probe resize 420 300 && sleep 0.3 && import -window root "$shots/2-420x300.png"
  probe resize 260 360 && sleep 0.3 && import -window root "$shots/3-260x360.png"
  probe close
else
  probe wait-dialog
  sleep 0.5
  import -window root "$shots/$program.png"
  probe close-dialog
fi
wait $app
rc=$?
echo "screenshots in $shots; $program.exe exited with $rc"
exit $rc
