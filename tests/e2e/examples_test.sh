#!/usr/bin/env bash
# End to end, the example programs as a user meets them, driven by dialogkit-driver: hello's
# button and its menu item put the greeting into the text box; the controls demonstration comes
# up with its menu tour and its texts beyond ASCII; the counter reports its size in dialog units
# and counts clicks. Each ends with exit code 0 after the close request.
#   examples_test.sh BUILD
set -u
build=$(cd "$1" && pwd)
fail=0
note() { echo "e2e examples: $*"; }
source "$(dirname "$0")/common.sh"
driver() { bash "$wine" "$build/dialogkit-driver.exe" "$@"; }

start_program hello
driver wait Hello expect-text 100 "Press the button" || { note "hello: no dialog, or not its first text"; fail=1; }
driver wait Hello click 101 expect-text 100 "Hello, world" \
  || { note "hello: the button did not greet"; fail=1; }
driver wait Hello set 100 "cleared" command 200 expect-text 100 "Hello, world" \
  || { note "hello: the menu item did not greet"; fail=1; }
close_and_expect_exit_0 hello

start_program controls_demo show-menu
# The menu tour, then its accented, Greek and Cyrillic texts, as the driver reads them in UTF-8.
driver wait "Controls: one of each of the 15 kinds" expect-text 100 "Label: chosen from the menu" \
  || { note "controls_demo: no dialog, or not the text of its menu tour"; fail=1; }
driver wait "Controls: one of each of the 15 kinds" expect-text 102 "Text box: déjà vu, naïve" \
  expect-item 103 2 "Combo: Ελληνικά" expect-item 103 3 "Combo: Русский" \
  expect-item 104 1 "List box: café" expect-selected 104 2 expect-item 104 2 "List box: Ωμέγα" \
  || { note "controls_demo: not the expected texts beyond ASCII"; fail=1; }
close_and_expect_exit_0 controls_demo

start_program counter
driver wait Counter expect-text 101 "Client area: 160 by 64 dialog units" \
  || { note "counter: no dialog, or not its size"; fail=1; }
driver wait Counter click 102 click 102 expect-text 100 "Clicks: 2" \
  || { note "counter: two clicks not counted"; fail=1; }
close_and_expect_exit_0 counter
exit $fail
