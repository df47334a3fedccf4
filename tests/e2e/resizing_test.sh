#!/usr/bin/env bash
# End to end: resizing.exe under Wine in the current X display (Xvfb), driven from outside by the
# probe: layout and report over resizes, the background colour on a screenshot, a soak of random
# resizes without memory growth, the close request ending the process with exit code 0, and the
# start-up show state having no effect.
set -u
build=$(cd "$1" && pwd)
wine=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-run.sh
out=$build/e2e
mkdir -p "$out"
fail=0
note() { echo "e2e: $*"; }

bash "$wine" "$build/resizing.exe" &
app=$!
trap 'kill $app 2>/dev/null' EXIT

bash "$wine" "$build/probe.exe" check | tee "$out/check.txt" | grep -v '^BACKGROUND' || true
grep -q '^ok: 0 failures' "$out/check.txt" || { note "the check found failures"; fail=1; }

# The background colour at a client point that no control covers.
read -r _ bx by < <(grep '^BACKGROUND' "$out/check.txt")
import -window root "$out/screen.png"
colour=$(convert "$out/screen.png" -format "%[fx:int(255*p{$bx,$by}.r)],%[fx:int(255*p{$bx,$by}.g)],%[fx:int(255*p{$bx,$by}.b)]" info:)
note "background at $bx,$by is $colour"
[ "$colour" = "255,192,128" ] || { note "background colour is $colour, not 255,192,128"; fail=1; }

# Soak: random resizes; the process's memory must not grow once warm.
rss() { awk '/^VmRSS/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }
winpid=$app  # the loader becomes the program's process
bash "$wine" "$build/probe.exe" soak 60 7 >/dev/null
before=$(rss "$winpid")
bash "$wine" "$build/probe.exe" soak 300 11 | tee "$out/soak.txt" | tail -n 3
grep -q '^ok: 300 resizes, 0 failures' "$out/soak.txt" || { note "the soak found failures"; fail=1; }
after=$(rss "$winpid")
note "resident memory before/after 300 resizes: ${before} kB / ${after} kB"
[ $(( after - before )) -lt 1024 ] || { note "memory grew by $(( after - before )) kB"; fail=1; }

# The close request ends the process with exit code 0 (within a minute, also under an emulator).
bash "$wine" "$build/probe.exe" close
code=none
for _ in $(seq 1 600); do
  if ! kill -0 $app 2>/dev/null; then wait $app; code=$?; break; fi
  sleep 0.1
done
trap - EXIT
note "exit code after the close request: $code"
[ "$code" = 0 ] || { note "resizing.exe did not end with 0 in 60 s"; kill $app 2>/dev/null; fail=1; }

# The show state in the start-up information changes nothing: started hidden or minimised, the
# dialog still appears restored (the probe starts and closes each run itself).
bash "$wine" "$build/probe.exe" showstates "$build/resizing.exe" | tee "$out/showstates.txt"
grep -q '^ok: 0 failures' "$out/showstates.txt" || { note "a show state changed the dialog"; fail=1; }
exit $fail
