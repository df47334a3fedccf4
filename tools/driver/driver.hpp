// dialogkit-driver's parts: the record of a run, one action as it runs, and the actions, which
// main.cpp lists in its table and runs in order.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "tools/remote/remote_dialog.hpp"

// What a run knows from one action to the next.
struct Driver {
  // How long an action waits for the dialog and for what it expects, and for a first dialog to
  // appear: starting a 32-bit program under an emulated Wine may take that long.
  DWORD wait_ms = 10000;
  DWORD first_wait_ms = 90000;
  // The dialog the actions act on: its caption, whether one has been found yet, and its
  // program's process, held from the wait on so that its end and exit code can be seen.
  std::string caption;
  bool caption_known = false;
  bool found_once = false;
  HANDLE program = nullptr;
  // The last reading of each control's rectangle (rect ID), by identifier, for the checks
  // relative to it.
  std::map<long, RECT> readings;
  // One entry per message that a command or click sent, set once the program has answered it. A
  // deque, whose entries stay where they are as it grows: an answer that comes after its action
  // gave up waiting finds its own entry.
  std::deque<bool> sends_answered;
};

const DWORD POLL_MS = 20;

// One action as it runs: its run's record, its words, its dialog, and its report.
struct Action {
  Driver* driver = nullptr;
  std::vector<std::string> words;  // the action's name and its arguments
  std::string argument_types;      // one letter per argument, as in main.cpp's table
  HWND dialog = nullptr;
  std::string outcome;
  bool failed = false;
};

bool fail(Action* a, const std::string& why);
bool done(Action* a, const std::string& outcome);

// A text in double quotes, with \r, \n, \t, \", \\ and other control characters escaped.
std::string quoted(const std::string& text);

// One whole decimal number, possibly negative.
bool number_of(const char* text, long* value);

// The control with the identifier of argument `index`.
bool control_of(Action* a, size_t index, HWND* control);

// A message to a window of the program, answered within the action's wait.
bool send(Action* a, HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

// Polls `check` until it holds or the action's wait has passed. The checks keep what they saw
// last, for the message when it never held.
template <typename Check>
bool wait_until(Action* a, Check check) {
  for (DWORD waited = 0;; waited += POLL_MS) {
    if (check()) return true;
    if (waited >= a->driver->wait_ms) return false;
    Sleep(POLL_MS);
  }
}

// How long the search for the dialog waits: long for the first one, when the program may still
// be starting.
DWORD dialog_wait_ms(const Driver* d);

// The captions of the other programs' visible top-level windows, for the message when the
// dialog asked for is not there.
std::string captions_seen();

// The visible dialogs of the program of `dialog` other than `dialog`; the first of them that is
// not among `before` (null: none), a dialog that an action opened; and what the action reports
// of it.
std::vector<HWND> dialogs_of(HWND dialog);
HWND dialog_opened(HWND dialog, const std::vector<HWND>& before);
std::string opened_text(HWND window);

// The actions (actions.cpp, keyboard.cpp, screenshot.cpp).
bool act_wait(Action* a);
bool act_timeout(Action* a);
bool act_text(Action* a);
bool act_expect_text(Action* a);
bool act_set(Action* a);
bool act_command(Action* a);
bool act_click(Action* a);
bool act_select(Action* a);
bool act_items(Action* a);
bool act_expect_count(Action* a);
bool act_expect_item(Action* a);
bool act_expect_selected(Action* a);
bool act_resize(Action* a);
bool act_rect(Action* a);
bool act_expect_rect(Action* a);
bool act_expect_rect_change(Action* a);
bool act_key(Action* a);
bool act_type(Action* a);
bool act_type_into(Action* a);
bool act_focus(Action* a);
bool act_focused(Action* a);
bool act_front(Action* a);
bool act_expect_focus(Action* a);
bool act_expect_menu(Action* a);
bool act_expect_closed(Action* a);
bool act_screenshot(Action* a);
bool act_close(Action* a);
bool act_expect_exit(Action* a);
