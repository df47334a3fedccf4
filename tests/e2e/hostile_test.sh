#!/usr/bin/env bash
# End to end, hostile input: while resizing.exe runs under Wine in the current X display (Xvfb),
# the probe sends its dialog and controls the same seeded mix of messages without pointers in
# their parameters ROUNDS times in a row (DRAWS draws each, from SEED), posted and sent with a
# timeout, and at every checkpoint finds the dialog alive, answering, with its two controls and
# the report and layout of its real client size. Memory is judged by what the program holds: the
# first round warms up what Wine allocates once and keeps; over the rounds after it, the program's
# GDI objects may step up in one round (a first use reached late) but not grow with the rounds,
# and its private memory, leaving out its largest step, by no more than 128 kB a round. Then the
# close request must end the process with exit code 0. scripts/hostile-soak.sh runs it for many
# rounds.
#   hostile_test.sh BUILD [ROUNDS [DRAWS [SEED]]]
set -u
build=$(cd "$1" && pwd)
rounds=${2:-5}
draws=${3:-1000}
seed=${4:-1}
fail=0
note() { echo "e2e hostile: $*"; }
source "$(dirname "$0")/common.sh"
start_program resizing

# Up and answered a first resize before anything is counted.
bash "$wine" "$build/probe.exe" resize 300 250 || { note "no dialog"; exit 1; }
start=$(rss $app)
bash "$wine" "$build/probe.exe" hostile "$rounds" "$draws" "$seed" | tee "$out/hostile.txt"
grep -q '^ok: hostile ' "$out/hostile.txt" || { note "the hostile run found failures"; fail=1; }
note "resident memory of the process (Wine's included) at the start ${start} kB, at the end $(rss $app) kB"

# The close request still ends the process with exit code 0.
close_and_expect_exit_0
exit $fail
