#!/usr/bin/env bash
# End to end, the example programs as a user meets them: hello's button and its menu item put the
# greeting into the text box; the controls demonstration comes up with its menu tour; the
# counter reports its size in dialog units and counts clicks. Each ends with exit code 0 after
# the close request.
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
close_and_expect_exit_0 controls_demo

start_example counter
expect_text 101 "Client area: 160 by 64 dialog units" "at start"
probe dialog-command 102
probe dialog-command 102
expect_text 100 "Clicks: 2" "after two clicks"
close_and_expect_exit_0 counter
exit $fail
