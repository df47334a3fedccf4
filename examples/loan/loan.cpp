// A loan calculator: the amount, the yearly interest rate in percent and the term in years are
// typed into three text boxes; Calculate (or Enter) shows the monthly payment with two decimals
// and a table of the balance left at the end of each year. The texts are read straight into
// numbers (control_get_number, control_get_int32), whose record says what a bad text held; the
// lines are composed in one call each (temp_push_parts). Escape ends it.
#include <dialogkit.hpp>

// No constants of its own: the constants area stays zero.
struct LoanConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(LoanConstants, {});

namespace {

enum : int32_t {
  ID_AMOUNT = 100,
  ID_RATE = 101,
  ID_YEARS = 102,
  ID_CALCULATE = 103,
  ID_PAYMENT = 104,
  ID_TABLE = 105,
  ID_STATUS = 106,
};

// Says what is wrong with a text box's number in the status line, e.g. "Rate: not a number
// (stops at character 3)"; true when nothing is.
bool check(ProcedureFrame* frame, HWND dialog, const char* name, const NumberScan& scan,
           bool in_range, const char* range) {
  if (scan.status == NUMBER_OK && in_range) return true;
  const char* what = scan.status == NUMBER_EMPTY       ? ": empty"
                     : scan.status == NUMBER_INVALID   ? ": not a number (stops at character "
                     : scan.status == NUMBER_OVERFLOW  ? ": too large"
                                                       : range;
  const TextPart line[] = {text_part_cstring(name), text_part_cstring(what),
                           text_part_fixed(scan.stop + 1, 0),
                           text_part_cstring(scan.status == NUMBER_INVALID ? ")" : "")};
  temp_push_parts(frame, line, scan.status == NUMBER_INVALID ? 4 : 2);
  control_set_text(frame, dialog, ID_STATUS);
  return false;
}

// The payment that pays off `amount` in n months at the monthly rate r: amount x r / (1 -
// (1 + r)^-n), or amount / n without interest. The power by n multiplications (n <= 600).
long double monthly_payment(long double amount, long double r, int32_t n) {
  if (r == 0) return amount / n;
  long double growth = 1;
  for (int32_t i = 0; i < n; ++i) growth *= 1 + r;
  return amount * r / (1 - 1 / growth);
}

INT_PTR CALLBACK calculate_clicked(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  NumberScan scan;
  list_reset(dialog, ID_TABLE);
  temp_push_empty(&frame);
  control_set_text(&frame, dialog, ID_PAYMENT);
  const long double amount = control_get_number(&frame, dialog, ID_AMOUNT, &scan);
  if (!check(&frame, dialog, "Amount", scan, amount > 0, ": must be more than 0")) return 1;
  const long double rate = control_get_number(&frame, dialog, ID_RATE, &scan);
  if (!check(&frame, dialog, "Rate", scan, rate >= 0 && rate <= 100, ": must be from 0 to 100")) return 1;
  const int32_t years = control_get_int32(&frame, dialog, ID_YEARS, &scan);
  if (!check(&frame, dialog, "Years", scan, years >= 1 && years <= 50, ": a whole number from 1 to 50"))
    return 1;

  const long double r = rate / 1200;
  const long double payment = monthly_payment(amount, r, years * 12);
  const TextPart result[] = {text_part_cstring("Monthly payment: "),
                             text_part_fixed(payment, 2, NUMBER_THOUSANDS)};
  temp_push_parts(&frame, result, 2);
  control_set_text(&frame, dialog, ID_PAYMENT);
  // One row a year: the balance left after its twelve payments.
  long double balance = amount;
  for (int32_t month = 1; month <= years * 12; ++month) {
    balance += balance * r - payment;
    if (month % 12 != 0) continue;
    const TextPart row[] = {text_part_cstring("Year "), text_part_fixed(month / 12, 0),
                            text_part_cstring(": balance "),
                            text_part_fixed(balance, 2, NUMBER_THOUSANDS)};
    temp_push_parts(&frame, row, 4);
    list_add(&frame, dialog, ID_TABLE);
  }
  const TextPart status[] = {text_part_fixed(years * 12, 0), text_part_cstring(" payments")};
  temp_push_parts(&frame, status, 2);
  control_set_text(&frame, dialog, ID_STATUS);
  return 1;
}

// Escape arrives as IDCANCEL, which no control has.
INT_PTR CALLBACK loan_callback(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || LOWORD(wparam) != IDCANCEL) return 0;
  dialog_end(dialog, 0);
  return 1;
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  // Style 0: the default dialog, a popup with a caption and a modal frame.
  HWND dialog = dialog_create(nullptr, "Loan", -1, -1, 200, 170);
  // In dialog units; style and extended style left out are 0 and 0, the kind's own.
  control_add(dialog, CONTROL_LABEL, 0, "&Amount:", 8, 10, 50, 8);
  control_add(dialog, CONTROL_TEXT_BOX, ID_AMOUNT, "20000", 62, 8, 70, 12);
  control_add(dialog, CONTROL_LABEL, 0, "&Rate (% a year):", 8, 26, 54, 8);
  control_add(dialog, CONTROL_TEXT_BOX, ID_RATE, "5", 62, 24, 70, 12);
  control_add(dialog, CONTROL_LABEL, 0, "&Years:", 8, 42, 50, 8);
  control_add(dialog, CONTROL_TEXT_BOX, ID_YEARS, "3", 62, 40, 70, 12);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_CALCULATE, "&Calculate", 140, 8, 52, 14,
              BS_DEFPUSHBUTTON | WS_TABSTOP, 0, calculate_clicked);
  control_add(dialog, CONTROL_LABEL, ID_PAYMENT, "", 8, 58, 184, 8);
  // The rows in the order they are added (no LBS_SORT), with the sunken edge asked for again.
  control_add(dialog, CONTROL_LIST_BOX, ID_TABLE, "", 8, 70, 184, 76,
              WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
  control_add(dialog, CONTROL_LABEL, ID_STATUS, "", 8, 150, 184, 8);
  dialog_show_modal(dialog, loan_callback, nullptr);
  return 0;
}
