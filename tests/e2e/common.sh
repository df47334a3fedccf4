# Sourced by the end-to-end tests: starting a program of the build under Wine, reading its
# memory, and ending it with the close request. The caller sets `build` (the build folder) and `fail`.
wine=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/wine-run.sh
out=$build/e2e
mkdir -p "$out"

# The resident memory of a process in kB (0 once it is gone).
rss() { awk '/^VmRSS/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }

app= kept_prefix=
# When the test ends: the program, if it is still running, and the Wine server kept for it.
end_test() {
  [ -z "$app" ] || kill "$app" 2>/dev/null
  [ -z "$kept_prefix" ] || wine_server_end "$kept_prefix"
}
trap end_test EXIT

# Runs the test's programs in the prefix of resolution DPI. The tests' fixture keeps the 96 dpi
# prefix's Wine server running; another resolution's is kept from here to the end of the test, so
# that no program starts while the last one's server is ending.
#   use_prefix_of_dpi DPI
use_prefix_of_dpi() {
  [ "$1" != 96 ] || return 0
  source "$(dirname "$wine")/wine-env.sh"
  WINEPREFIX=$(wine_prefix_ready "$1") || exit 1
  export WINEPREFIX
  kept_prefix=$WINEPREFIX
  wine_server_keep "$kept_prefix"
}

# Starts PROGRAM ARGS... in the background; `app` is its process (the loader becomes the
# program's) and is killed if the test ends before it does.
start_program() {
  bash "$wine" "$build/$1.exe" "${@:2}" &
  app=$!
}

# The close request to the program's dialog (dialogkit-driver's close, which waits up to a minute
# for the program to end), then expect_exit_0.
#   close_and_expect_exit_0 [PROGRAM]
close_and_expect_exit_0() {
  local program=${1:-resizing}
  bash "$wine" "$build/dialogkit-driver.exe" timeout 60 wait-any close
  expect_exit_0 "$program"
}

# After the program was asked to end (by dialogkit-driver's close, or a command of the program's
# own), it must end with exit code 0 within a minute (also under an emulator); otherwise the test
# fails and the process is killed.
#   expect_exit_0 PROGRAM
expect_exit_0() {
  local code=none program=$1
  for _ in $(seq 1 600); do
    if ! kill -0 $app 2>/dev/null; then wait $app; code=$?; break; fi
    sleep 0.1
  done
  note "$program.exe: exit code after it was asked to end: $code"
  [ "$code" = 0 ] || { note "$program.exe did not end with 0 in 60 s"; kill $app 2>/dev/null; fail=1; }
  app=
}
