#!/usr/bin/env bash
# Runs every test, suite by suite: the host suite (and number to text's 32-bit digit code), the
# host suite under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for a bounded
# time, and the Windows suites under Wine inside Xvfb: the 32-bit product build (resizing.exe as
# shipped, its start-up programs, the Windows tests and the end-to-end tests) and the 64-bit build
# of the same sources. Where this machine's kernel cannot run 32-bit programs, 32-bit Wine runs
# under qemu's i386 user-mode emulator, registered for as long as this command runs.
#
# Each suite starts with a header and ends with a line of its tests, passed, failed and seconds;
# while a suite's tests run, a line every minute says which are running. A failing suite does not
# stop the others. At the end: a table of all suites, the mode of the 32-bit programs, the total
# time, and "N passed, M failed" over all suites. The exit status is 0 only when nothing failed.
# The build and test output of each suite is also kept in build/logs/. TEST_SUITES="host fuzz"
# (names as in the table) runs only those suites.
set -uo pipefail
cd "$(dirname "$0")/.."
export TEST_STARTED=${TEST_STARTED:-$(date +%s)}
bash scripts/setup.sh || exit 1
source scripts/wine-env.sh
# Whether suite NAME is to run: every suite unless TEST_SUITES names some.
selected() { [ -z "${TEST_SUITES:-}" ] || [[ " $TEST_SUITES " == *" $1 "* ]]; }
# The Windows suites' prefix is held by one test command at a time: the command runs again
# holding it (a second one waits here for the first).
if { selected windows-32-bit || selected windows-64-bit; } && [ "${WINE_PREFIX_HELD:-}" != "$(wine_prefix_path)" ]; then
  wine_prefix_hold "$(wine_prefix_path)" bash scripts/test.sh "$@"
  exit
fi
source scripts/wine32-mode.sh
wine32_mode_begin || exit 1
logs=build/logs
mkdir -p "$logs"

TICK_SECONDS=${TICK_SECONDS:-60}
table=()
all_passed=0 all_failed=0 any_failed=0

# The tests of a CTest log that have started and not yet finished.
running_tests() {
  awk '/^ +Start +[0-9]+: / { n = $2; sub(":", "", n); name[n] = $3 }
       / Test +#[0-9]+: / { n = $0; sub(/.*Test +#/, "", n); sub(/:.*/, "", n); delete name[n] }
       END { s = ""; for (n in name) s = s (s ? ", " : "") name[n]; print s }' "$1"
}

# Prints, every TICK_SECONDS, how long the suite has run and which tests are running.
# Ended, it ends its sleep as well, which would otherwise hold the output open for up to a minute.
ticker() {
  local name=$1 log=$2 begun=$3 running nap
  trap 'kill "$nap" 2>/dev/null; exit 0' TERM
  while :; do
    sleep "$TICK_SECONDS" &
    nap=$!
    wait "$nap" || return 0
    running=$(running_tests "$log")
    echo "   ... $name: $(( SECONDS - begun )) s so far${running:+; running: $running}"
  done
}

# suite NAME PRESET [RUNNER...]: configure and build the preset, run its tests (inside RUNNER,
# Xvfb say), and record the suite's line.
suite() {
  local name=$1 preset=$2
  shift 2
  selected "$name" || return 0
  local begun=$SECONDS log=$logs/$name.log summary total=0 failed=0 passed status=ok tick
  echo
  echo "=== $name: building and running (preset $preset)"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$logs/$name-build.log" 2>&1; then
    tail -n 40 "$logs/$name-build.log"
    echo "=== $name: the build failed ($logs/$name-build.log)"
    status="build failed" failed=1 total=1
  else
    echo "   built in $(( SECONDS - begun )) s; running the tests"
    ticker "$name" "$log" "$begun" &
    tick=$!
    "$@" ctest --preset "$preset" 2>&1 | tee "$log" | grep -E --line-buffered \
      '^ *[0-9]+/[0-9]+ Test|\*\*\*|FAIL|^note|^e2e|tests passed|The following tests|^[[:space:]]+[0-9]+ - '
    kill "$tick" 2>/dev/null; wait "$tick" 2>/dev/null
    # What each failed test printed (CTest shows it after the test's line), here in full.
    awk '/\*\*\*(Failed|Timeout|Exception)|\*\*\*Not Run/ { show = 1; print "--- " $0; next }
         /^ *[0-9]+\/[0-9]+ Test |tests passed, / { show = 0 }
         show' "$log"
    # What the fault-injection test counted, from the tests' own output (CTest keeps it in its log).
    grep -h '^fault injection:' "build/${preset%-whole}/Testing/Temporary/LastTest.log" 2>/dev/null | sed 's/^/   /'
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -n "$summary" ]; then
      total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
      failed=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    else
      status="no result" failed=1 total=1
    fi
    [ "$failed" -eq 0 ] || [ "$status" != ok ] || status=failed
  fi
  passed=$(( total - failed ))
  local seconds=$(( SECONDS - begun ))
  echo "=== $name: $total tests, $passed passed, $failed failed, $seconds s$([ "$status" = ok ] || echo " ($status)")"
  table+=("$(printf '%-22s %6d %7d %7d %8d  %s' "$name" "$total" "$passed" "$failed" "$seconds" "$status")")
  all_passed=$(( all_passed + passed )) all_failed=$(( all_failed + failed ))
  [ "$status" = ok ] || any_failed=1
}

xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

suite host host
suite host-sanitize host-sanitize
suite fuzz fuzz
# The Windows suites' prefix, made first on a machine that has none yet (a minute or two): CTest
# asks each Windows test program for its cases before the first test runs.
if selected windows-32-bit || selected windows-64-bit; then
  wine_prefix_ready >/dev/null || echo "the Wine prefix could not be made: the Windows suites will fail"
fi
suite windows-32-bit win32 "${xvfb[@]}"
# One Wine server per suite: ended when the suite is done, so the next one starts afresh.
wine_server_end "$(wine_prefix_path)"
# The 64-bit suite checks the same sources again: each test program runs whole, started once.
suite windows-64-bit win64-whole "${xvfb[@]}"
wine_server_end "$(wine_prefix_path)"

echo
echo "=== summary"
printf '%-22s %6s %7s %7s %8s\n' suite tests passed failed seconds
printf '%s\n' "${table[@]}"
echo "32-bit Windows programs: $WINE32_MODE_TEXT"
echo "total time: $(( $(date +%s) - TEST_STARTED )) s"
echo "$all_passed passed, $all_failed failed"
exit $any_failed
