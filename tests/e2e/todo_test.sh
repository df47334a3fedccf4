#!/usr/bin/env bash
# End to end, the to-do example as its user meets it, driven by dialogkit-driver: items added from
# the text box stay in the order they were added, the new one selected and counted; Add with an
# empty text box adds nothing; Remove takes the selected item and, with none selected, nothing;
# the layout follows the client area at the start and after a resize; File > Exit ends the
# program with exit code 0. The items are accented Latin, Greek and Cyrillic: they go in and come
# back as the same UTF-8 text.
#   todo_test.sh BUILD
set -u
build=$(cd "$1" && pwd)
fail=0
note() { echo "e2e todo: $*"; }
source "$(dirname "$0")/common.sh"
driver() { bash "$wine" "$build/dialogkit-driver.exe" wait To-do "$@"; }

# The layout for the client area the driver reports in dialog units: the text box and the list
# take what the buttons' column leaves, the list the height as well.
expect_layout() {
  local cx cy
  read -r cx cy < <(driver rect -1 | sed -n 's/.*; 0,0 \([0-9]*\)x\([0-9]*\) dialog units$/\1 \2/p')
  [ -n "${cy:-}" ] || { note "no client size"; fail=1; return; }
  driver expect-rect 100 8 8 $((cx - 70)) 12 expect-rect 101 $((cx - 58)) 7 50 14 \
    expect-rect 103 8 26 $((cx - 70)) $((cy - 34)) expect-rect 102 $((cx - 58)) 26 50 14 \
    expect-rect 104 $((cx - 58)) 46 50 8 || { note "$1: not the expected layout"; fail=1; }
}

start_program todo
driver timeout 90 expect-text 104 "Items: 0" expect-count 103 0 || { note "no to-do dialog"; exit 1; }
expect_layout "at the start"

driver \
  click 101 expect-count 103 0 \
  set 100 "Walk the dög: Γάλα" click 101 expect-text 100 "" expect-text 104 "Items: 1" \
  set 100 "Buy milk: Молоко" command 101 expect-text 104 "Items: 2" \
  expect-item 103 1 "Walk the dög: Γάλα" expect-item 103 2 "Buy milk: Молоко" expect-selected 103 2 \
  select 103 1 click 102 expect-text 104 "Items: 1" expect-item 103 1 "Buy milk: Молоко" \
  select 103 0 click 102 expect-count 103 1 expect-text 104 "Items: 1" \
  || { note "adding and removing items went wrong"; fail=1; }

driver resize 420 260 >/dev/null
expect_layout "at 420 by 260 pixels"

# File > Exit: the menu command ends the program.
driver command 200 expect-exit 0 || { note "File > Exit did not end the program with 0"; fail=1; }
expect_exit_0 todo
exit $fail
