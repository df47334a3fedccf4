#!/usr/bin/env bash
# End to end: resizing.exe under Wine in the current X display (Xvfb), driven from outside by the
# probe: its initial size of 105 by 90 dialog units, layout and report over resizes, the
# background colour on a screenshot, a soak of random resizes without memory growth, the close
# request ending the process with exit code 0, and the start-up show state having no effect.
# With DPI (96, 120, 144, ...) it runs in a prefix whose programs see that resolution in dots per
# inch, as on a Windows display scaled to DPI / 96.
#   resizing_test.sh BUILD [DPI]
set -u
build=$(cd "$1" && pwd)
dpi=${2:-96}
fail=0
note() { echo "e2e at $dpi dpi: $*"; }
source "$(dirname "$0")/common.sh"
use_prefix_of_dpi "$dpi"
shot=$out/screen-$dpi.png
start_program resizing

bash "$wine" "$build/probe.exe" check "$dpi" | tee "$out/check-$dpi.txt" | grep -v '^BACKGROUND' || true
grep -q '^ok: 0 failures' "$out/check-$dpi.txt" || { note "the check found failures"; fail=1; }

# The background colour at a client point that no control covers.
read -r _ bx by < <(grep '^BACKGROUND' "$out/check-$dpi.txt")
import -window root "$shot"
colour=$(convert "$shot" -format "%[fx:int(255*p{$bx,$by}.r)],%[fx:int(255*p{$bx,$by}.g)],%[fx:int(255*p{$bx,$by}.b)]" info:)
note "background at $bx,$by is $colour"
[ "$colour" = "255,192,128" ] || { note "background colour is $colour, not 255,192,128"; fail=1; }

# Soak: random resizes, once to warm up and once counted: the second must leave the program
# holding no more GDI objects and hardly more private memory than before it.
bash "$wine" "$build/probe.exe" soak 60 7 >/dev/null
before=$(rss $app)
bash "$wine" "$build/probe.exe" soak 300 11 | tee "$out/soak-$dpi.txt" | tail -n 3
grep -q '^ok: 300 resizes, 0 failures' "$out/soak-$dpi.txt" || { note "the soak found failures"; fail=1; }
note "resident memory of the process (Wine's included) before/after 300 resizes: ${before} kB / $(rss $app) kB"

close_and_expect_exit_0

# The show state in the start-up information changes nothing: started hidden or minimised, the
# dialog still appears restored (the probe starts and closes each run itself).
bash "$wine" "$build/probe.exe" showstates "$build/resizing.exe" | tee "$out/showstates-$dpi.txt"
grep -q '^ok: 0 failures' "$out/showstates-$dpi.txt" || { note "a show state changed the dialog"; fail=1; }
exit $fail
