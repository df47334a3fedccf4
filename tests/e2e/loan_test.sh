#!/usr/bin/env bash
# End to end, the loan example as its user meets it, driven by dialogkit-driver: the amount, the
# rate and the years typed into the text boxes are read into numbers; Calculate shows the monthly
# payment with two decimals and thousands separators and one row a year of the balance left;
# every kind of bad text (empty, not a number with where it stops, too large, out of the
# allowed range, a fraction where whole years are wanted) is named in the status line and
# leaves no payment and no rows; Escape ends the program with exit code 0.
#   loan_test.sh BUILD
set -u
build=$(cd "$1" && pwd)
fail=0
note() { echo "e2e loan: $*"; }
source "$(dirname "$0")/common.sh"
driver() { bash "$wine" "$build/dialogkit-driver.exe" wait Loan "$@"; }

start_program loan
driver timeout 90 expect-text 100 "20000" expect-count 105 0 || { note "no loan dialog"; exit 1; }

# The values it starts with: 20,000 at 5 % over 3 years.
driver click 103 \
  expect-text 104 "Monthly payment: 599.42" expect-count 105 3 \
  expect-item 105 1 "Year 1: balance 13,663.07" expect-item 105 2 "Year 2: balance 7,001.93" \
  expect-item 105 3 "Year 3: balance 0.00" expect-text 106 "36 payments" \
  || { note "the first calculation went wrong"; fail=1; }

# Bad texts, one box at a time: the status line names the box and what is wrong, and the
# payment and the table are empty.
bad() {  # ID TEXT STATUS
  driver set 100 20000 set 101 5 set 102 3 set "$1" "$2" click 103 \
    expect-text 106 "$3" expect-text 104 "" expect-count 105 0 \
    || { note "bad text \"$2\" in $1: not reported as \"$3\""; fail=1; }
}
bad 100 "" "Amount: empty"
bad 100 "   " "Amount: empty"
bad 100 "12a" "Amount: not a number (stops at character 3)"
bad 100 "1,000" "Amount: not a number (stops at character 2)"
bad 100 "-5" "Amount: must be more than 0"
bad 100 "1e-99999" "Amount: must be more than 0"
bad 100 "1e99999" "Amount: too large"
bad 101 "five" "Rate: not a number (stops at character 1)"
bad 101 "101" "Rate: must be from 0 to 100"
bad 102 "2.5" "Years: not a number (stops at character 2)"
bad 102 "0" "Years: a whole number from 1 to 50"
bad 102 "99999999999" "Years: too large"

# Good texts of other shapes: blanks around, a point with nothing after it, an exponent; no
# interest; thousands separators in a larger loan.
driver set 100 " 2e4 " set 101 "5." set 102 " 3" click 103 \
  expect-text 104 "Monthly payment: 599.42" expect-count 105 3 \
  set 100 "1000" set 101 "0" set 102 "1" click 103 \
  expect-text 104 "Monthly payment: 83.33" expect-count 105 1 expect-item 105 1 "Year 1: balance 0.00" \
  expect-text 106 "12 payments" \
  set 100 "1000000" set 101 "12" set 102 "30" click 103 \
  expect-text 104 "Monthly payment: 10,286.13" expect-count 105 30 \
  expect-item 105 1 "Year 1: balance 996,371.21" expect-item 105 29 "Year 29: balance 115,771.14" \
  expect-item 105 30 "Year 30: balance 0.00" expect-text 106 "360 payments" \
  || { note "a good text was not read as it should be"; fail=1; }

# Escape (IDCANCEL) ends the program.
driver command 2 expect-exit 0 || { note "Escape did not end the program with 0"; fail=1; }
expect_exit_0 loan
exit $fail
