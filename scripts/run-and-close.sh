#!/usr/bin/env bash
# Starts a program of the build in the current display (a real one or Xvfb), runs the actions
# given after `--` on its dialog (dialogkit-driver), closes it with the system's close request
# unless the actions ended it, and reports its exit code; fails when an action failed or the exit
# code is not 0. With RUN_SHOTS set (the run command sets it inside Xvfb) the dialog is
# photographed into that folder before it is closed; Resizing, given no actions, is also resized
# twice, each size photographed.
#   run-and-close.sh BUILD PROGRAM [ARGS...] [-- ACTION...]
set -u
build=$1 program=$2
shift 2
args=() actions=() acting=0
for word in "$@"; do
  if [ $acting = 1 ]; then actions+=("$word")
  elif [ "$word" = -- ]; then acting=1
  else args+=("$word")
  fi
done
shots=${RUN_SHOTS:-}
[ -n "$shots" ] && mkdir -p "$shots"
"$WINE_LOADER" "$build/$program.exe" "${args[@]}" &
app=$!
# The probe and the driver are 64-bit programs: each runs with its own loader.
probe() { env -u WINE_LOADER bash scripts/wine-run.sh "$build/probe.exe" "$@"; }
driver() { env -u WINE_LOADER bash scripts/wine-run.sh "$build/dialogkit-driver.exe" "$@"; }
photograph() { [ -z "$shots" ] || import -window root "$shots/$1"; }
# Whether the program ends within SECONDS.
ends_within() {
  for _ in $(seq 1 $(($1 * 10))); do kill -0 $app 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
acted=0
if [ "$program" = resizing ] && [ ${#actions[@]} = 0 ]; then
  for _ in $(seq 1 900); do xwininfo -root -tree 2>/dev/null | grep -q '"Resizing"' && break; sleep 0.1; done
  sleep 0.5
  photograph 1-start.png
  probe resize 420 300 && sleep 0.3 && photograph 2-420x300.png
  probe resize 260 360 && sleep 0.3 && photograph 3-260x360.png
  probe close
else
  # wait-any: the program's first dialog, whatever its caption.
  driver wait-any "${actions[@]}" || acted=1
  if kill -0 $app 2>/dev/null && [ -n "$shots" ]; then sleep 0.5; photograph "$program.png"; fi
  # Actions that end the program (close, expect-exit) leave nothing to close.
  ended=0
  for word in "${actions[@]}"; do [ "$word" = close ] || [ "$word" = expect-exit ] && ended=1; done
  if [ $ended = 0 ] || ! ends_within 10; then
    driver timeout 10 wait-any close >/dev/null || true
  fi
fi
ends_within 60 || { echo "$program.exe did not end in 60 s after the close request: killed"; kill $app; }
wait $app
rc=$?
echo "${shots:+screenshots in $shots; }$program.exe exited with $rc"
[ $acted = 0 ] && [ $rc = 0 ]
