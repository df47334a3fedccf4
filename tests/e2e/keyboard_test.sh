#!/usr/bin/env bash
# End to end, dialogkit-driver's keyboard and its actions on a dialog that a command opens, on
# the starter example: typing into the text box, Enter presses the default button (Add), Tab and
# Shift+Tab move the focus in the order the controls were created, Alt+F opens the File menu and
# its mnemonic chooses About, whose modal dialog a menu command opens at once and Escape or Enter
# ends; a caption that is not there is reported with the captions seen; controls follow the
# client area's growth; Escape ends the program with exit code 0.
#   keyboard_test.sh BUILD
set -u
build=$(cd "$1" && pwd)
fail=0
note() { echo "e2e keyboard: $*"; }
source "$(dirname "$0")/common.sh"
driver() { bash "$wine" "$build/dialogkit-driver.exe" "$@"; }
version=$(sed -n 's/^#define DIALOGKIT_VERSION "\(.*\)"$/\1/p' "$build/include/dialogkit/dialogkit_version.hpp")

start_program starter
driver timeout 90 wait Starter expect-text 103 "Items: 0" || { note "no starter dialog"; exit 1; }

# Typing and Enter: the text goes into the focused text box, Enter presses Add, which empties it.
driver wait Starter \
  type-into 100 "Walk the dog" expect-text 100 "Walk the dog" key Enter \
  expect-count 102 1 expect-item 102 1 "Walk the dog" expect-text 100 "" expect-focus 100 \
  type "Buy milk" key Enter expect-item 102 2 "Buy milk" expect-text 103 "Items: 2" \
  || { note "typing and Enter did not add the items"; fail=1; }

# Tab order: the order of creation, over the controls with WS_TABSTOP (the label has none).
driver wait Starter focus 100 \
  key Tab expect-focus 101 key Tab expect-focus 102 key Tab expect-focus 100 \
  key Shift+Tab expect-focus 102 key Shift+Tab expect-focus 101 \
  || { note "Tab and Shift+Tab did not follow the order of the controls"; fail=1; }

# A command that opens a modal dialog returns at once; the dialog is found by its caption and
# ended by Escape; then Alt+F, A opens it again and Enter presses its default button, OK.
out=$(driver wait Starter command 200 wait "About Starter" expect-text 110 "Starter, on DialogKit $version" \
        key Escape expect-closed \
        wait Starter key Alt+F expect-menu key A wait "About Starter" key Enter expect-closed)
status=$?
echo "$out"
[ $status = 0 ] || { note "the About dialog was not opened and ended as expected"; fail=1; }
grep -qxF 'command 200: opened the dialog "About Starter"' <<<"$out" ||
  { note "command 200 did not report the dialog it opened"; fail=1; }

# A caption that is not there: the error names the captions seen.
out=$(driver timeout 1 wait "No such dialog")
echo "$out"
grep -F 'FAILED: no such dialog appeared; top-level windows seen: ' <<<"$out" | grep -qF '"Starter"' ||
  { note "the missing caption's error does not list the captions seen"; fail=1; }

# Readings compared with earlier ones: the list grows with the client area, Add moves with its
# right edge.
driver wait Starter rect -1 rect 102 rect 101 resize 480 360 \
  expect-rect-change 102 0 0 cw ch expect-rect-change 101 cw 0 0 0 \
  || { note "the controls did not follow the client area's growth"; fail=1; }

# Escape ends the dialog, and the program with it.
driver wait Starter key Escape expect-exit 0 || { note "Escape did not end the program with 0"; fail=1; }
expect_exit_0 starter
exit $fail
