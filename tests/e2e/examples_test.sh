#!/usr/bin/env bash
# End to end, the example programs as a user meets them: hello's button and its menu item put the
# greeting into the text box; the controls demonstration comes up with its menu tour and its
# texts beyond ASCII; the counter reports its size in dialog units and counts clicks. Each ends
# with exit code 0 after the close request.
#   examples_test.sh BUILD
set -u
build=$(cd "$1" && pwd)
fail=0
note() { echo "e2e examples: $*"; }
source "$(dirname "$0")/common.sh"
probe() { bash "$wine" "$build/probe.exe" "$@"; }
expect_text() { probe dialog-text "$1" "$2" || { note "$3: not the expected text"; fail=1; }; }

start_example() {
  start_program "$@"
  probe wait-dialog || { note "$1 shows no dialog"; fail=1; }
}

start_example hello
expect_text 100 "Press the button" "at start"
probe dialog-command 101
expect_text 100 "Hello, world" "after the button"
probe dialog-set-text 100 "cleared"
probe dialog-command 200
expect_text 100 "Hello, world" "after the menu item"
close_and_expect_exit_0 hello

start_example controls_demo show-menu
expect_text 100 "Label: chosen from the menu" "after the menu tour"
# Its accented, Greek and Cyrillic texts, as the driver reads them in UTF-8.
bash "$wine" "$build/dialogkit-driver.exe" wait-any expect-text 102 "Text box: déjà vu, naïve" \
  expect-item 103 2 "Combo: Ελληνικά" expect-item 103 3 "Combo: Русский" \
  expect-item 104 1 "List box: café" expect-selected 104 2 expect-item 104 2 "List box: Ωμέγα" \
  >/dev/null || { note "controls_demo: not the expected texts beyond ASCII"; fail=1; }
close_and_expect_exit_0 controls_demo

start_example counter
expect_text 101 "Client area: 160 by 64 dialog units" "at start"
probe dialog-command 102
probe dialog-command 102
expect_text 100 "Clicks: 2" "after two clicks"
close_and_expect_exit_0 counter
exit $fail
