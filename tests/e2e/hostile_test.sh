#!/usr/bin/env bash
# End to end, hostile input: while resizing.exe runs under Wine in the current X display, the
# probe sends its dialog and controls, for SECONDS (default 12) from a fixed SEED (default 1), a
# mix of messages without pointers in their parameters, posted and sent with a timeout, and at
# every checkpoint finds the dialog alive, answering, with its two controls and the report and
# layout of its real client size. Then the close request must end the process with exit code 0.
# The resident memory of the process is reported at the start, after a warm-up of a few seconds
# from another seed (Wine's first surfaces for a maximised and an oversized window, its first
# clipboard use) and at the end; from the warm-up to the end it must not grow by more than
# LIMIT_KB (default 4096). scripts/hostile-soak.sh runs it for minutes.
#   hostile_test.sh BUILD [SECONDS [SEED [LIMIT_KB]]]
set -u
build=$(cd "$1" && pwd)
seconds=${2:-12}
seed=${3:-1}
limit=${4:-4096}
fail=0
note() { echo "e2e hostile: $*"; }
source "$(dirname "$0")/common.sh"
start_program resizing

# Up and answered a first resize before memory is counted.
bash "$wine" "$build/probe.exe" resize 300 250 || { note "no dialog"; exit 1; }
start=$(rss $app)
bash "$wine" "$build/probe.exe" hostile 3 $(( seed + 1000 )) > "$out/hostile-warm-up.txt"
grep -q '^ok: hostile ' "$out/hostile-warm-up.txt" || { cat "$out/hostile-warm-up.txt"; note "the warm-up found failures"; fail=1; }
before=$(rss $app)
bash "$wine" "$build/probe.exe" hostile "$seconds" "$seed" | tee "$out/hostile.txt"
grep -q '^ok: hostile ' "$out/hostile.txt" || { note "the hostile run found failures"; fail=1; }
after=$(rss $app)
note "resident memory at start ${start} kB, before/after ${seconds} s: ${before} kB / ${after} kB"
[ $(( after - before )) -lt "$limit" ] || { note "memory grew by $(( after - before )) kB"; fail=1; }

# The close request still ends the process with exit code 0.
close_and_expect_exit_0
exit $fail
